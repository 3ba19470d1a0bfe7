#pragma once

// Fixed resource and command numbers. They are the same in every language module.
namespace res {

// Commands of the framework's standard range.
inline constexpr int ID_FILE_NEW = 57600;
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_SAVE = 57603;
inline constexpr int ID_FILE_SAVE_AS = 57604;
inline constexpr int ID_FILE_MRU_FILE1 = 57616;
inline constexpr int ID_FILE_MRU_FILE2 = ID_FILE_MRU_FILE1 + 1;
inline constexpr int ID_FILE_MRU_FILE3 = ID_FILE_MRU_FILE1 + 2;
inline constexpr int ID_FILE_MRU_FILE4 = ID_FILE_MRU_FILE1 + 3;
inline constexpr int ID_FILE_MRU_COUNT = 4;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_NEXT_PANE = 57680;
inline constexpr int ID_PREV_PANE = 57681;
inline constexpr int ID_VIEW_TOOLBAR = 59392;
inline constexpr int ID_VIEW_STATUS_BAR = 59393;

// The program's own commands.
inline constexpr int ID_EMP_SELECTALL = 32771;
inline constexpr int ID_EMP_SELECTIN = 32772;
inline constexpr int ID_EMP_SELECTNOTIN = 32773;
inline constexpr int ID_EMP_ADD = 32774;
inline constexpr int ID_EMP_DELETE = 32775;
inline constexpr int ID_TERM_ADD = 32776;
inline constexpr int ID_TERM_DELETE = 32777;
inline constexpr int ID_TERM_FIRMWARE = 32785;
inline constexpr int ID_TERM_READMASTER = 32786;
inline constexpr int ID_TERM_WRITEMASTER = 32787;
inline constexpr int ID_TERM_OPENLOCK = 32788;
inline constexpr int ID_TERM_READPARAMS = 32789;
inline constexpr int ID_TERM_WRITEPARAMS = 32790;
inline constexpr int ID_TERM_READIDTABLE = 32791;
inline constexpr int ID_TERM_WRITEIDTABLE = 32792;
inline constexpr int ID_TERM_REMOVEIDTABLE = 32793;
inline constexpr int ID_TERM_CLEARIDTABLE = 32794;
inline constexpr int ID_VIEW_SETTINGS = 32795;
inline constexpr int ID_COPY_MEDIAID = 32796;
inline constexpr int ID_TERM_SELNOTINDB = 32797;
inline constexpr int ID_TERM_COPYTODB = 32798;
inline constexpr int ID_EMP_EDIT = 32799;
inline constexpr int ID_FILE_IMPORT_TXT = 32800;
inline constexpr int ID_FILE_IMPORT_DB = 32801;
inline constexpr int ID_VIEW_PHOTO = 32802;
inline constexpr int ID_PHOTO_CLOSE = 32803;
inline constexpr int ID_REG_CLEAR = 32804;
inline constexpr int ID_RESTORE_MAIN = 32805;
inline constexpr int ID_VIEW_LANGUAGES = 32806;
inline constexpr int ID_TERM_EDIT = 32807;

// Menus.
inline constexpr int IDR_MAINFRAME = 128; // main menu, toolbar, accelerators, document strings
inline constexpr int IDR_MENU_EMP = 133;
inline constexpr int IDR_MENU_TERM = 134;
inline constexpr int IDR_MENU_TERMEMP = 147;
inline constexpr int IDR_MENU_REG = 152;
inline constexpr int IDR_MENU_TRAY = 155;
inline constexpr int IDR_MENU_PHOTO = 183;

// Pictures.
inline constexpr int IDI_PROGRAM = 128;
inline constexpr int IDB_TOOLBAR = 131;
inline constexpr int IDB_SPLASH = 103;
inline constexpr int IDB_ABOUT_BANNER = 186;
inline constexpr int IDB_NOTIFIER_SKIN = 145;
inline constexpr int IDI_TRAY_16COLOURS = 153;
inline constexpr int IDI_TRAY = 154;
inline constexpr int IDB_WIZARD_WATERMARK = 157;
inline constexpr int IDB_WIZARD_HEADER = 159;

// Dialogs.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_EMPTYFORM = 102;
// The controller form; a label's text is keyed by the item of the field it names.
inline constexpr int IDD_TERMFORM = 101;
inline constexpr int IDC_TERM_CONTROL = 1000;
inline constexpr int IDC_TERM_RELAY1 = 1001;
inline constexpr int IDC_TERM_RELAY2 = 1002;
inline constexpr int IDC_TERM_LASTREG = 1003;
inline constexpr int IDC_TERM_ID = 1005;
inline constexpr int IDC_TERM_NAME = 1006;
inline constexpr int IDC_TERM_COMPORT = 1007;
inline constexpr int IDC_TERM_FIRMWARE = 1008;
inline constexpr int IDC_TERM_MASTER = 1009;
inline constexpr int IDC_TERM_EMPLOYEE = 1010;
inline constexpr int IDC_TERM_STATUS = 1011;
inline constexpr int IDC_TERM_CODE = 1012;
inline constexpr int IDD_SPLASH = 161;
inline constexpr int IDC_SPLASH_STATUS = 1034;
inline constexpr int IDC_ABOUT_NAME = 1000;
inline constexpr int IDC_ABOUT_VERSION = 1001;
inline constexpr int IDC_ABOUT_BUILD = 1002;
inline constexpr int IDOK = 1;
// The progress window of the controller operations; its caption is string IDS_TRANSFERRING.
inline constexpr int IDD_PROGRESS = 104;
inline constexpr int IDC_PROGRESS_BAR = 1003;
inline constexpr int IDC_PROGRESS_STATUS = 1005;
inline constexpr int IDCANCEL = 2;

// Strings. A string may share its number with a menu or picture of another kind; the string
// table itself holds each number once (checked where it is built). The document strings are
// string IDR_MAINFRAME, the photo window's title string IDR_MENU_PHOTO, and each command's
// prompt and tooltip the string of the command's number.
inline constexpr int IDS_APP_TITLE = 57344;
inline constexpr int IDS_IDLE_MESSAGE = 57345; // "Ready"
inline constexpr int IDS_TOOLBAR_CAPTION = 57346;
inline constexpr int IDS_TRANSFERRING = 105;
inline constexpr int IDS_ID = 129;
inline constexpr int IDS_LAST_NAME = 130;
inline constexpr int IDS_FIRST_NAME = 131;
inline constexpr int IDS_MEDIAID = 132;
inline constexpr int IDS_DATE = 133;
inline constexpr int IDS_TIME = 134;
inline constexpr int IDS_ACTION = 135;
inline constexpr int IDS_NAME = 136;
inline constexpr int IDS_COM_PORT = 137;
inline constexpr int IDS_CODE = 141;
inline constexpr int IDS_OK = 142;
inline constexpr int IDS_INVALID_MEDIAID_LENGTH = 143;
inline constexpr int IDS_NEED_FIRST_NAME = 144;
inline constexpr int IDS_NEED_LAST_NAME = 145;
inline constexpr int IDS_MEDIAID_EXISTS = 146;
inline constexpr int IDS_NEED_CONTROLLER_NAME = 147;
inline constexpr int IDS_ASK_DELETE_EMPLOYEES = 150;
inline constexpr int IDS_ASK_DELETE_CONTROLLER = 151;
inline constexpr int IDS_STILL_ACTIVE = 152;
inline constexpr int IDS_ERROR_CODE = 153; // "Error %d"
inline constexpr int IDS_ERROR = 154;
inline constexpr int IDS_SETTINGS_CAPTION = 155;
inline constexpr int IDS_TOO_MANY_SELECTED = 156;
inline constexpr int IDS_COLUMN = 157;
inline constexpr int IDS_INCOMPLETE_SELECTION = 158;
inline constexpr int IDS_IMPORT_TXT_CAPTION = 159;
inline constexpr int IDS_NO_FILE = 160;
inline constexpr int IDS_SELECT_FILE = 161;
inline constexpr int IDS_SELECT_FILE_HINT = 162;
inline constexpr int IDS_SELECT_COLUMNS = 163;
inline constexpr int IDS_SELECT_COLUMNS_HINT = 164;
inline constexpr int IDS_MEDIA_IBUTTON = 165;
inline constexpr int IDS_MEDIA_RFCARD = 166;
inline constexpr int IDS_MEDIA_MAGCARD = 167;
inline constexpr int IDS_FILE = 168;
inline constexpr int IDS_DATABASE = 169;
inline constexpr int IDS_IMPORT_TOTALS = 170; // "Total found: %d\nImported: %d"
inline constexpr int IDS_SOURCE_CONNECT_FAILED = 171;
inline constexpr int IDS_DATABASE_ERROR = 172; // "Database error:\n\n%s"
inline constexpr int IDS_NOTHING_TO_IMPORT = 173;
inline constexpr int IDS_IMPORT_DB_CAPTION = 174;
inline constexpr int IDS_CONNECT_FAILED = 175;
inline constexpr int IDS_NO_DATABASE = 180;
inline constexpr int IDS_SOURCE = 181;
inline constexpr int IDS_DESTINATION = 182;
inline constexpr int IDS_IMPORTING = 189;
inline constexpr int IDS_MRDB_FAILED = 190;
inline constexpr int IDS_PHOTODB_FAILED = 191;
inline constexpr int IDS_CLOSING = 192;
inline constexpr int IDS_READING_IDTABLE = 193;
inline constexpr int IDS_WRITING_IDTABLE = 194;
inline constexpr int IDS_RESTART_NOTICE = 195;
inline constexpr int IDS_EMPLOYEES = 196;
inline constexpr int IDS_CONTROLLERS = 197;
inline constexpr int IDS_REGISTRATIONS = 198;
inline constexpr int IDS_EMPLOYEES_IN_CONTROLLER = 199;
inline constexpr int IDS_COMPORT_EXISTS = 200;
inline constexpr int IDS_NOT_A_WORKSPACE = 210;
inline constexpr int IDS_WORKSPACE_VERSION = 211;
inline constexpr int IDS_NOT_A_REGULAR_FILE = 212;
inline constexpr int IDS_RESTORE_UNSAVED = 240;
inline constexpr int IDS_FAILED_TO_OPEN_DOC = 61700;
inline constexpr int IDS_FAILED_TO_SAVE_DOC = 61701;
inline constexpr int IDS_ASK_TO_SAVE = 61702;
inline constexpr int IDS_FILE_NOT_FOUND = 61704;
inline constexpr int IDS_FILE_END_REACHED = 61705;
inline constexpr int IDS_FILE_WRITE_FAILED = 61706;
inline constexpr int IDS_ALL_FILES_FILTER = 61708;

} // namespace res
