// The program's command ids and the texts of its string table, compiled in: every
// menu, message and dialog of the shell takes its words from here.
#pragma once

#include <QString>

namespace quorvel {

// Command ids: each QAction carries its id as data, so that later parts of the program
// find the command they route (the layers panel's buttons, the palette's).
enum CommandId : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_CLOSE = 57602,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_DIRECT = 57608,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_MRU_FIRST = 57616,  // the four recent files: 57616-57619
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE = 57651,
    ID_FRONT_COLOR = 32785,
    ID_BACK_COLOR = 32786,
    ID_BRUSH_PICKER = 32792,
    ID_VIEW_SHOW_LAYER = 32797,
    ID_VIEW_SHOW_TOOL = 32801,
    ID_VIEW_SHOW_INFO = 32818,
    ID_RANDOM_PRESSURE = 32830,
    ID_SWITCH_COLOR = 1092,
    ID_DEFAULT_COLOR = 1089,
    // The view's commands.
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,
    ID_EDIT_CUT = 57635,
    ID_EDIT_COPY = 57634,
    ID_EDIT_PASTE = 57637,
    ID_FILL_COLOR = 32783,
    ID_SELECTION_MODE = 32780,
    ID_SELECT_ALL = 32802,
    ID_DESELECT = 32803,
    ID_SELECT_INVERSE = 32804,
    ID_RESIZE = 32805,
    ID_ROTATE_90CW = 32807,
    ID_ROTATE_90CCW = 32808,
    ID_ROTATE_180 = 32809,
    ID_CROP = 32815,
    ID_LAYER_NEW = 32781,
    ID_LAYER_DELETE = 32782,
    ID_LAYER_MERGE_ALL = 32834,
    ID_LAYER_MERGE_DOWN = 32835,
    ID_LAYER_CONVERT = 32836,
    ID_LAYER_PROPERTIES = 32784,
    ID_SET_ACTIVE_LAYER = 32789,
    ID_REFRESH_CACHE = 32788,
    ID_TESTING_DIALOG = 32793,
    ID_ZOOM_IN = 32819,
    ID_ZOOM_OUT = 32820,
};

// The string table.
enum StringId : int {
    IDS_APP_NAME = 57344,
    IDS_NO_NAME = 160,
    IDS_SAVE_AS = 61441,
    IDS_BECAUSE = 61447,
    IDS_ERR_CODE = 61449,
    IDS_ALL_FORMATS = 61450,
    IDS_COULD_NOT_OPEN = 61451,
    IDS_SAVE_AS_CAPTION = 61452,
    IDS_ALREADY_EXISTS = 61453,
    IDS_PRINT_TO_FILE = 61490,
    IDS_PDF_FILTER = 61491,
    IDS_MERGES_LAYERS = 61492,
    IDS_SHOW_LAYER = 59394,
    IDS_HIDE_LAYER = 59395,
    IDS_HIDE_TOOL = 59396,
    IDS_SHOW_TOOL = 59397,
    IDS_SHOW_INFO = 59398,
    IDS_HIDE_INFO = 59399,
    IDS_COULD_NOT_SAVE = 61460,
    IDS_SAVE_CHANGES = 61461,
    IDS_NEW_SIZE_RANGE = 61462,
    IDS_NAME_SHOWN_ALIKE = 61463,
    IDS_LAYER = 61454,
};

// The text of a string; empty for an id the table does not hold.
QString LoadShellString(int id);

}  // namespace quorvel
