#pragma once

#include <QString>

// How the page windows show pages and take pictures, remembered in BaseSet.ini's own
// "EditorSet" section. A file without that section (or with a value that cannot be used)
// loads with the defaults: Fit, Threshold and values shown.
struct EditorSettings
{
    static constexpr int kFitZoom = 0;
    static constexpr int kMinZoom = 1; // 100%
    static constexpr int kMaxZoom = 8; // 800%

    // "EditorSet"/"Zoom": the zoom new page windows start at, a whole factor kMinZoom..kMaxZoom
    // (stored "100".."800") or kFitZoom (stored "Fit").
    int zoom = kFitZoom;
    // "EditorSet"/"Pictures": "Dither" or "Threshold", how placed pictures become LED colours.
    bool ditherPictures = false;
    // "EditorSet"/"ShowValues": "Yes" or "No", whether the page windows and the sign preview
    // show the fields of a page with their values or as typed. What is sent is always values.
    bool showValues = true;

    bool operator==(const EditorSettings &other) const
    {
        return zoom == other.zoom && ditherPictures == other.ditherPictures
            && showValues == other.showValues;
    }
};

// The record of this run; the shell loads it at start-up and stores every change.
EditorSettings &editorSettings();

// Reads the "EditorSet" section of the INI file. `problem` (may be null) gets one sentence in
// `language` naming a stored value that could not be used, else "".
EditorSettings LoadEditorSettings(
    const QString &iniPath, const QString &language, QString *problem);

// Stores one value; false when the file could not be written.
bool SaveEditorZoom(int zoom, const QString &iniPath);
bool SaveEditorPictures(bool dither, const QString &iniPath);
bool SaveEditorShowValues(bool showValues, const QString &iniPath);

// "Fit" or "100".."800", as the zoom is stored; parseStoredZoom is its inverse (-1 when the
// text is neither).
QString storedZoomText(int zoom);
int parseStoredZoom(const QString &text);
