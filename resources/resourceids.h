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
// The registrations history window (32810-32814 kept for its commands).
inline constexpr int ID_VIEW_HISTORY = 32810;
// The alerts so far, from the View menu and the tray menu.
inline constexpr int ID_VIEW_ALERTS = 32815;
// Enrolment: the window that lists presented unknown media, and a registration's medium added
// as an employee.
inline constexpr int ID_EMP_ENROL = 32825;
inline constexpr int ID_REG_ADDEMPLOYEE = 32826;

// Menus.
inline constexpr int IDR_MAINFRAME = 128; // main menu, toolbar, accelerators, document strings
inline constexpr int IDR_MENU_EMP = 133;
inline constexpr int IDR_MENU_TERM = 134;
inline constexpr int IDR_MENU_TERMEMP = 147;
inline constexpr int IDR_MENU_REG = 152;
inline constexpr int IDR_MENU_TRAY = 155;
inline constexpr int IDR_MENU_PHOTO = 183;
// Every menu, for whoever hands all of them on (a language module).
inline constexpr int kMenuIds[] = {IDR_MAINFRAME, IDR_MENU_EMP,  IDR_MENU_TERM, IDR_MENU_TERMEMP,
                                   IDR_MENU_REG,  IDR_MENU_TRAY, IDR_MENU_PHOTO};

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
// Every picture, for whoever hands all of them on (a language module).
inline constexpr int kImageIds[] = {IDI_PROGRAM,      IDB_TOOLBAR,          IDB_SPLASH,
                                    IDB_ABOUT_BANNER, IDB_NOTIFIER_SKIN,    IDI_TRAY_16COLOURS,
                                    IDI_TRAY,         IDB_WIZARD_WATERMARK, IDB_WIZARD_HEADER};

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
// Employee and controller dialogs: their captions are item 0, a label's text is keyed by the
// item of the field it names.
inline constexpr int IDCANCEL = 2;
inline constexpr int IDD_EMPDLG = 142;
inline constexpr int IDC_EMP_MEDIAID = 1013;
inline constexpr int IDC_EMP_LASTNAME = 1014;
inline constexpr int IDC_EMP_FIRSTNAME = 1015;
inline constexpr int IDD_TERMDLG = 143;
inline constexpr int IDC_TERMDLG_ID = 1005;
inline constexpr int IDC_TERMDLG_NAME = 1006;
inline constexpr int IDC_TERMDLG_CODE = 1018;
inline constexpr int IDC_TERMDLG_COMPORT = 1019;
// Language modules: the start-up warning and the Languages dialog; IDC_STATIC is a dialog's
// one plain text.
inline constexpr int IDC_STATIC = -1;
inline constexpr int IDD_LANGUAGES = 1048;
inline constexpr int IDD_LANGWARNING = 1049;
inline constexpr int IDC_LANG_LIST = 1044;
inline constexpr int IDC_LANG_WARN = 1045;
inline constexpr int IDC_LANG_SHOWAGAIN = 1046;
inline constexpr int IDC_LANG_ICON = 1047;
// The import wizards: pages, their controls, and the progress window of the database import.
// Labels are keyed by the item of the control they name; texts without a control by 11xx.
inline constexpr int IDD_IMPORT_TXT_WELCOME = 155;
inline constexpr int IDD_IMPORT_TXT_FILE = 154;
inline constexpr int IDD_IMPORT_TXT_COLUMNS = 153;
inline constexpr int IDD_IMPORT_TXT_FINISH = 107;
inline constexpr int IDD_IMPORT_DB_WELCOME = 159;
inline constexpr int IDD_IMPORT_DB_CONNSTR = 158;
inline constexpr int IDD_IMPORT_DB_COLUMNS = 157;
inline constexpr int IDD_IMPORT_DB_FINISH = 156;
inline constexpr int IDD_IMPORT_PROGRESS = 135;
inline constexpr int IDC_IMPORT_PROGRESS_TEXT = 1006;
// Its Cancel button is IDCANCEL.
inline constexpr int IDC_IMPORT_RF = 1049;
inline constexpr int IDC_IMPORT_MAGNETIC = 1050;
inline constexpr int IDC_IMPORT_TXT_PATH = 1051;
inline constexpr int IDC_IMPORT_TXT_BROWSE = 1052;
inline constexpr int IDC_IMPORT_TXT_PREVIEW = 1053;
inline constexpr int IDC_IMPORT_TXT_MEDIAID = 1054;
inline constexpr int IDC_IMPORT_TXT_LASTNAME = 1055;
inline constexpr int IDC_IMPORT_TXT_FIRSTNAME = 1056;
inline constexpr int IDC_IMPORT_TXT_IBUTTON = 1057;
inline constexpr int IDC_IMPORT_DB_TABLE = 1058;
inline constexpr int IDC_IMPORT_TXT_OVERVIEW = 1059;
inline constexpr int IDC_IMPORT_TXT_MEDIATYPE = 1060;
inline constexpr int IDC_IMPORT_DB_CONNECTION = 1073;
inline constexpr int IDC_IMPORT_DB_SELECT = 1074;
inline constexpr int IDC_IMPORT_DB_MEDIAID = 1075;
inline constexpr int IDC_IMPORT_DB_LASTNAME = 1076;
inline constexpr int IDC_IMPORT_DB_FIRSTNAME = 1077;
inline constexpr int IDC_IMPORT_DB_IBUTTON = 1078;
inline constexpr int IDC_IMPORT_DB_OVERVIEW = 1080;
inline constexpr int IDC_IMPORT_DB_MEDIATYPE = 1081;
inline constexpr int IDC_IMPORT_DB_TABLENAME = 1082;
inline constexpr int IDC_IMPORT_DB_TITLE = 1083;
inline constexpr int IDC_IMPORT_DB_OVERVIEW_TITLE = 1084;
inline constexpr int IDC_IMPORT_TXT_TITLE = 1085;
inline constexpr int IDC_IMPORT_TXT_OVERVIEW_TITLE = 1086;
inline constexpr int IDC_IMPORT_TXT_FILECOPY = 1088;
inline constexpr int IDC_IMPORT_DB_CONNCOPY = 1089;
inline constexpr int IDC_IMPORT_INTRO = 1100;
inline constexpr int IDC_IMPORT_CONTINUE = 1101;
inline constexpr int IDC_IMPORT_PROCEED = 1102;
inline constexpr int IDC_IMPORT_GOBACK = 1103;
inline constexpr int IDC_IMPORT_TYPE = 1104;
inline constexpr int IDC_IMPORT_TXT_FILTER = 1105;
// The settings sheet's pages and the database connection dialog.
inline constexpr int IDD_PP_MRDB = 106;
inline constexpr int IDC_USE_MRDB = 1021;
inline constexpr int IDC_MRDB = 1022;
inline constexpr int IDC_MRDB_DATABASE = 1023;
inline constexpr int IDD_PP_PHOTO = 160;
inline constexpr int IDC_USE_PHOTO = 1027;
inline constexpr int IDC_PHOTODB = 1028;
inline constexpr int IDC_PHOTODB_DATABASE = 1029;
inline constexpr int IDC_PHOTO_TABLE = 1030;
inline constexpr int IDC_PHOTO_LASTNAME = 1031;
inline constexpr int IDC_PHOTO_FIRSTNAME = 1032;
inline constexpr int IDC_PHOTO_MEDIAID = 1033;
inline constexpr int IDC_PHOTO_PHOTO = 1034;
inline constexpr int IDC_PHOTO_COLUMNS = 1035;
inline constexpr int IDD_PP_MISC = 145;
inline constexpr int IDC_REGFILEPATH = 1024;
inline constexpr int IDC_REGFILEPATH_BROWSE = 1025;
inline constexpr int IDC_STYLE_SIMPLE = 1026;
inline constexpr int IDC_STYLE_XP = 1027;
inline constexpr int IDC_STYLE_2003 = 1028;
inline constexpr int IDC_AUTOLOAD = 1031;
inline constexpr int IDC_AUTOLOADFILE = 1032;
inline constexpr int IDC_AUTOLOADFILE_BROWSE = 1033;
inline constexpr int IDC_REGFILEPATH_LABEL = 1036;
inline constexpr int IDC_STYLE_GROUP = 1037;
inline constexpr int IDD_DATALINK = 270;
inline constexpr int IDC_DL_USE_DRIVER = 1101;
inline constexpr int IDC_DL_DRIVER = 1102;
inline constexpr int IDC_DL_USE_DSN = 1103;
inline constexpr int IDC_DL_DSN = 1104;
inline constexpr int IDC_DL_SERVER = 1105;
inline constexpr int IDC_DL_DATABASE = 1106;
inline constexpr int IDC_DL_USER = 1107;
inline constexpr int IDC_DL_PASSWORD = 1108;
inline constexpr int IDC_DL_EXTRAS = 1109;
inline constexpr int IDC_DL_EXTRA_KEY = 1110;
inline constexpr int IDC_DL_EXTRA_VALUE = 1111;
inline constexpr int IDC_DL_RAW = 1112;
inline constexpr int IDC_DL_TEST = 1113;
inline constexpr int IDC_DL_RESULT = 1114;
// The Employee dialog's help with a MediaID: its description and the conversion of a
// printed number, with the dialog that converts; each form's hint is keyed by its item + 4.
inline constexpr int IDD_MEDIACONVERT = 1200;
inline constexpr int IDC_EMP_CONVERT = 1201;
inline constexpr int IDC_EMP_MEDIAINFO = 1202;
inline constexpr int IDC_CONVERT_FORM = 1203;
inline constexpr int IDC_CONVERT_INPUT = 1204;
inline constexpr int IDC_CONVERT_HINT = 1205;
inline constexpr int IDC_CONVERT_RESULT = 1206;
inline constexpr int IDC_CONVERT_STATUS = 1207;
inline constexpr int IDC_CONVERT_USE = 1208;
inline constexpr int IDC_CONVERT_IBUTTON = 1209;
inline constexpr int IDC_CONVERT_RFHEX = 1210;
inline constexpr int IDC_CONVERT_DECIMAL = 1211;
inline constexpr int IDC_CONVERT_W26 = 1212;
inline constexpr int kConvertHintOffset = 4;
// The progress window of the controller operations; its caption is string IDS_TRANSFERRING.
inline constexpr int IDD_PROGRESS = 104;
inline constexpr int IDC_PROGRESS_BAR = 1003;
inline constexpr int IDC_PROGRESS_STATUS = 1005;
// Enrolment: its window (caption item 0, the columns by their items), the Employee dialog's
// button that reads the MediaID from a reader, and the window that waits for the medium.
inline constexpr int IDD_ENROL = 1220;
inline constexpr int IDC_ENROL_PROMPT = 1221;
inline constexpr int IDC_ENROL_LIST = 1222;
inline constexpr int IDC_ENROL_MEDIAID = 1223;
inline constexpr int IDC_ENROL_CONTROLLER = 1224;
inline constexpr int IDC_ENROL_TIME = 1225;
inline constexpr int IDC_ENROL_LASTNAME = 1226;
inline constexpr int IDC_ENROL_FIRSTNAME = 1227;
inline constexpr int IDC_ENROL_ADD = 1228;
inline constexpr int IDC_ENROL_CLOSE = 1229;
inline constexpr int IDC_EMP_READ = 1230;
inline constexpr int IDD_READMEDIUM = 1231;
inline constexpr int IDC_READMEDIUM_PROMPT = 1232;
// The link check's interval on the Miscellaneous page: its label and spin box.
inline constexpr int IDC_LINKCHECK_LABEL = 1240;
inline constexpr int IDC_LINKCHECK_MINUTES = 1241;

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
// Database import wizard page headers.
inline constexpr int IDS_SELECT_DATABASE = 176;
inline constexpr int IDS_SELECT_DATABASE_HINT = 177;
inline constexpr int IDS_SELECT_TABLE = 178;
inline constexpr int IDS_SELECT_TABLE_HINT = 179;
inline constexpr int IDS_IMPORTING = 189;
inline constexpr int IDS_MRDB_FAILED = 190;
inline constexpr int IDS_PHOTODB_FAILED = 191;
inline constexpr int IDS_CLOSING = 192;
inline constexpr int IDS_READING_IDTABLE = 193;
inline constexpr int IDS_WRITING_IDTABLE = 194;
// Remove from ID table: its please-wait text, and a run ended by a controller gone silent.
inline constexpr int IDS_REMOVING_IDTABLE = 293;
inline constexpr int IDS_REMOVAL_STOPPED = 294;
inline constexpr int IDS_RESTART_NOTICE = 195;
inline constexpr int IDS_EMPLOYEES = 196;
inline constexpr int IDS_CONTROLLERS = 197;
inline constexpr int IDS_REGISTRATIONS = 198;
inline constexpr int IDS_EMPLOYEES_IN_CONTROLLER = 199;
inline constexpr int IDS_COMPORT_EXISTS = 200;
inline constexpr int IDS_NOT_A_WORKSPACE = 210;
inline constexpr int IDS_WORKSPACE_VERSION = 211;
inline constexpr int IDS_NOT_A_REGULAR_FILE = 212;
// The binding to the control module: why a call or the link failed.
inline constexpr int IDS_LINK_CALL_FAILED = 220;
inline constexpr int IDS_LINK_CONTROL_GONE = 221;
inline constexpr int IDS_LINK_EXCEPTION_WHAT = 222;
inline constexpr int IDS_LINK_EXCEPTION = 223;
inline constexpr int IDS_LINK_RESULT_TYPE = 224;
inline constexpr int IDS_LINK_NO_MEMBER = 225;
inline constexpr int IDS_LINK_ARGUMENT_COUNT = 226;
inline constexpr int IDS_LINK_ARGUMENT_TYPE = 227;
inline constexpr int IDS_LINK_OUT_OF_RANGE = 228;
inline constexpr int IDS_LINK_CANNOT_BE_MADE = 230;
inline constexpr int IDS_LINK_NO_FOLDER = 231;
inline constexpr int IDS_LINK_NOT_IN_FOLDER = 232;
inline constexpr int IDS_LINK_NOT_THE_MODULE = 233;
inline constexpr int IDS_LINK_DOES_NOT_LOAD = 234;
inline constexpr int IDS_LINK_NO_FACTORY = 235;
inline constexpr int IDS_LINK_NO_CONTROL = 236;
inline constexpr int IDS_RESTORE_UNSAVED = 240;
inline constexpr int IDS_FAILED_TO_OPEN_DOC = 61700;
inline constexpr int IDS_FAILED_TO_SAVE_DOC = 61701;
inline constexpr int IDS_ASK_TO_SAVE = 61702;
inline constexpr int IDS_FILE_NOT_FOUND = 61704;
inline constexpr int IDS_FILE_END_REACHED = 61705;
inline constexpr int IDS_FILE_WRITE_FAILED = 61706;
inline constexpr int IDS_ALL_FILES_FILTER = 61708;
// Employee and controller editing: the refusal of a number field outside its range.
inline constexpr int IDS_NUMBER_RANGE = 263;
// The settings sheet and the database connection dialog.
inline constexpr int IDS_CANCEL = 270;
inline constexpr int IDS_REGFOLDER_UNUSABLE = 271; // "Registrations cannot be written ..."
inline constexpr int IDS_REGFOLDER_EMPTY = 272;
inline constexpr int IDS_REGFOLDER_MISSING = 273;
inline constexpr int IDS_REGFOLDER_NOT_A_FOLDER = 274;
inline constexpr int IDS_REGFOLDER_NOT_WRITABLE = 275;
inline constexpr int IDS_AUTOLOAD_FILTER = 276;
inline constexpr int IDS_CONNECTION_SUCCEEDED = 277;
inline constexpr int IDS_CONNECTION_TESTING = 278;
// The controller form: registrations that do not reach the file, a relay time outside the list.
inline constexpr int IDS_REGS_NOT_WRITTEN = 290;
inline constexpr int IDS_RELAY_TIME_UNKNOWN = 291;
inline constexpr int IDS_RELAY_TIMES_UNKNOWN = 292;
// Employee import: what stopped an import early, and a first line too long to offer whole.
inline constexpr int IDS_IMPORT_CANCELLED = 300;   // "... after %1 of %2 rows.\nImported: %3"
inline constexpr int IDS_IMPORT_READ_FAILED = 301; // "%1\n...: %2\n\n...: %3\n...: %4"
inline constexpr int IDS_FIRST_LINE_CUT = 302;     // "... its first %1 fields ..."
// Alerts: what each one says, and the Alerts window with its list and the status bar's line.
inline constexpr int IDS_ALERT_CONTROLLER_LOST = 370;  // "COM%1 is lost"
inline constexpr int IDS_ALERT_CONTROLLER_BACK = 371;  // "COM%1 is back"
inline constexpr int IDS_ALERT_REGS_WRITTEN = 372;     // "COM%1: registrations saved again"
inline constexpr int IDS_ALERT_REPORTING_SILENT = 373; // "... %1 registrations waiting"
inline constexpr int IDS_ALERT_REPORTING_BACK = 374;
inline constexpr int IDS_ALERT_UNKNOWN_MEDIA = 375;     // "COM%1: %2 unknown keys in %3 minutes"
inline constexpr int IDS_ALERT_UNKNOWN_MEDIA_END = 376; // "COM%1: no unknown key for %2 minutes"
inline constexpr int IDS_ALERTS_CAPTION = 377;
inline constexpr int IDS_ALERTS_CONTROLLER = 378;
inline constexpr int IDS_ALERTS_TEXT = 379;
inline constexpr int IDS_ALERTS_CLOSE = 380;
inline constexpr int IDS_ALERTS_LIST = 381;
inline constexpr int IDS_ALERT_LINE = 382;
inline constexpr int IDS_ALERT_CONTROLLER_CELL = 383; // "COM%1 (ID %2)"
inline constexpr int IDS_ALERTS_COUNT = 384;          // "%1 alerts since the start"
// The report queue at its limit, and taking registrations again.
inline constexpr int IDS_ALERT_QUEUE_FULL = 460; // "... %1 registrations waiting ..."
inline constexpr int IDS_ALERT_QUEUE_TAKES = 461;

// A MediaID in words, and why a printed number does not convert.
inline constexpr int IDS_MEDIA_FAMILY = 390;       // "family %1"
inline constexpr int IDS_MEDIA_DESCRIPTION = 391;  // "%1, serial number %2, %3"
inline constexpr int IDS_CHECK_BYTE_CORRECT = 392; // "check byte %1: correct"
inline constexpr int IDS_CHECK_BYTE_WRONG = 393;   // "check byte %1: wrong, expected %2"
inline constexpr int IDS_MEDIAID_PARTIAL = 394;    // "%1 of 16 characters"
inline constexpr int IDS_NOT_HEX_DIGIT = 395;
inline constexpr int IDS_NOT_DECIMAL_DIGIT = 396;
inline constexpr int IDS_HEX_LENGTH = 397;
inline constexpr int IDS_IBUTTON_LENGTH = 398;
inline constexpr int IDS_RF_HEX_LENGTH = 399;
inline constexpr int IDS_DECIMAL_LENGTH = 400;
inline constexpr int IDS_DECIMAL_TOO_LARGE = 401;
inline constexpr int IDS_W26_PAIR = 402;
inline constexpr int IDS_W26_FACILITY = 403;
inline constexpr int IDS_W26_CARD = 404;
inline constexpr int IDS_WRONG_CHECK_BYTE = 405;
// The registrations history window (310-339 kept for its texts).
inline constexpr int IDS_HISTORY_CAPTION = 310;
inline constexpr int IDS_HISTORY_FROM = 311;
inline constexpr int IDS_HISTORY_TO = 312;
inline constexpr int IDS_HISTORY_CONTROLLER = 313;
inline constexpr int IDS_HISTORY_MATCH = 314;
inline constexpr int IDS_HISTORY_UNKNOWN_ONLY = 315;
inline constexpr int IDS_HISTORY_PERSONS_ONLY = 316;
inline constexpr int IDS_HISTORY_COUNT = 317;   // "%1 registrations"
inline constexpr int IDS_HISTORY_DAMAGED = 318; // "%1 damaged lines skipped"
inline constexpr int IDS_HISTORY_ATTENDANCE = 319;
inline constexpr int IDS_HISTORY_FIRST = 320;
inline constexpr int IDS_HISTORY_LAST = 321;
inline constexpr int IDS_HISTORY_SPAN = 322;
inline constexpr int IDS_HISTORY_COUNT_COLUMN = 323;
inline constexpr int IDS_HISTORY_CHART = 324;
inline constexpr int IDS_HISTORY_EXPORT = 325;
inline constexpr int IDS_HISTORY_SHOW_EMPLOYEE = 326;
inline constexpr int IDS_HISTORY_EXPORT_FILTER = 327;
inline constexpr int IDS_HISTORY_NOT_REGULAR = 328;   // "%1 is not a regular file. ..."
inline constexpr int IDS_HISTORY_EXPORT_FAILED = 329; // "%1\n...: %2"
inline constexpr int IDS_HISTORY_ALL_CONTROLLERS = 330;
inline constexpr int IDS_HISTORY_PER_HOUR = 331;
inline constexpr int IDS_HISTORY_PER_DAY = 332;
inline constexpr int IDS_HISTORY_DAY = 333;
inline constexpr int IDS_HISTORY_HOUR = 334;
inline constexpr int IDS_HISTORY_CHART_SUMMARY = 335; // "%1 registrations, most %2 at %3"
inline constexpr int IDS_HISTORY_MOMENT_HINT = 336;
inline constexpr int IDS_HISTORY_FOLDER_UNREADABLE = 337; // "%1: ..."
inline constexpr int IDS_HISTORY_CHART_VIEW = 338;
inline constexpr int IDS_HISTORY_REGISTRATIONS_TAB = 339;
inline constexpr int IDS_HISTORY_ADD_EMPLOYEE = 470;
// The reporting database through the report queue: the settings page's choice of the command
// form, and what the user is told of a refused report, a queue that cannot take one or start.
inline constexpr int IDS_MRDBCALL_LABEL = 340;
inline constexpr int IDS_MRDBCALL_EXEC = 341;
inline constexpr int IDS_MRDBCALL_CALL = 342;
inline constexpr int IDS_REPORT_REFUSED = 343;    // "... %1 ... %2 %3 ... %4 ...\n\n%5"
inline constexpr int IDS_REPORT_NOT_QUEUED = 344; // "... in %1 ..."
inline constexpr int IDS_REPORT_QUEUE_FULL = 345; // "... %1 registrations (ReportQueueMax) ..."
inline constexpr int IDS_REPORT_NO_QUEUE = 346;   // "...\n\n%1"
// Enrolment: the mark of a medium no employee has, and closing with names not added.
inline constexpr int IDS_UNKNOWN_MEDIUM = 410;
inline constexpr int IDS_ENROL_NOT_ADDED = 411; // "%1 ... not added ..."
// A controller's port that is down and tried again.
inline constexpr int IDS_NEXT_TRY = 420; // "%1 ... %2 s"
// The link check: a controller that did not answer it, the spin box's "off", and the
// controllers list's column of when each one was last heard.
inline constexpr int IDS_LINK_CHECK_NO_ANSWER = 440; // "... at %1"
inline constexpr int IDS_LINK_CHECK_OFF = 441;
inline constexpr int IDS_LAST_HEARD = 442;

} // namespace res
