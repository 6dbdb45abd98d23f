#pragma once

#include <QIcon>

// The program's own icon: an LED sign face lit in the three colours.
QIcon vantrelIcon();
