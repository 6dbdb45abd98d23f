#pragma once

#include <QDialog>

class QSpinBox;

// Asks for the rows and columns of a table to insert into a page.
class InsertTableDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kMaxRows = 50;
    static constexpr int kMaxColumns = 50;

    explicit InsertTableDialog(const QString &language, QWidget *parent = nullptr);

    int rows() const;
    int columns() const;
    void setSize(int rows, int columns);

private:
    QSpinBox *m_rows;
    QSpinBox *m_columns;
};
