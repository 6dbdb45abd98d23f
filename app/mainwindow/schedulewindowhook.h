#pragma once

class MDIFrmMain;

// Tools > Schedule: the Schedule window of `window`, with the main window's prompts, file
// dialogs and interface language.
void openScheduleWindow(MDIFrmMain &window);
