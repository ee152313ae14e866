/* kt.h: the constants of the kt built-ins, for scripts ("#include <kt.h>") and for the reference
   host library librv32auto.so, which includes this same file. Durations are milliseconds. */
/* clang-format off */

/* Results: errors are negative; actions give KT_OK, getters a value, string getters a length. */
#define KT_PENDING          1   /* a connect or transfer is still running; it goes on */
#define KT_OK               0
#define KT_E_FAIL           (-1)  /* a system call failed (runtime value 20 tells errno) */
#define KT_E_NOTINIT        (-2)  /* ktInitialize has not been called */
#define KT_E_SESSION        (-3)  /* no such open session, or no current session */
#define KT_E_BADARG         (-4)  /* value out of range, bad script address, unknown code */
#define KT_E_TIMEOUT        (-5)  /* a wait ran out of time; nothing was consumed */
#define KT_E_NOTCONNECTED   (-6)
#define KT_E_STATE          (-7)  /* wrong state: already connected, nothing in progress ... */
#define KT_E_NOTFOUND       (-8)  /* no such phonebook entry, key, file or program */
#define KT_E_RANGE          (-9)  /* index past the end of a list */
#define KT_E_CONNECT        (-10) /* the connection failed */
#define KT_E_CANCELLED      (-11) /* the user cancelled, or an unattended prompt had no answer */
#define KT_E_IO             (-12) /* a capture, log, print or transfer file failed */
#define KT_E_XFER           (-13) /* a transfer failed */
#define KT_E_ABORTED        (-14) /* a transfer was aborted */
#define KT_E_UNSUPPORTED    (-15) /* this host does not do that */
#define KT_E_FULL           (-16) /* no free session handle, or a list is full */

/* Timeouts */
#define KT_FOREVER          (-1)

/* ktTerminate modes */
#define KT_TERM_ORDERLY     0   /* send what is queued first */
#define KT_TERM_NOW         1   /* drop what is queued */

/* ktGetSession: which session */
#define KT_SESSION_CURRENT  0
#define KT_SESSION_STARTUP  1

/* ktCloseSession and ktDisconnectSession: every open session */
#define KT_ALL_SESSIONS     (-1)

/* Connection status (ktGetConnectionStatus, ktWaitForConnection) */
#define KT_ST_IDLE          0
#define KT_ST_CONNECTING    1
#define KT_ST_CONNECTED     2
#define KT_ST_LISTENING     3

/* ktOpenSession flags */
#define KT_OPEN_EXISTING    1
#define KT_OPEN_CURRENT     2

/* ktSetSession flags */
#define KT_SESSION_SHOW     1

/* ktSetAdlOverride modes (automatic download) */
#define KT_ADL_DEFAULT      0   /* as the entry's AutoDownload says */
#define KT_ADL_ON           1
#define KT_ADL_OFF          2

/* ktSetPulseTone */
#define KT_DIAL_TONE        0
#define KT_DIAL_PULSE       1

/* ktComDriverSpecial codes */
#define KT_CD_BREAK         1
#define KT_CD_DTR_ON        2
#define KT_CD_DTR_OFF       3
#define KT_CD_RTS_ON        4
#define KT_CD_RTS_OFF       5
#define KT_CD_FLUSH         6   /* drop unconsumed and unread input */

/* ktWaitForString and ktWaitForPrompt flags */
#define KT_WAIT_NOCASE      1
#define KT_WAIT_KEEP        2
#define KT_WAIT_NEW         4
#define KT_WAIT_ALT         8

/* ktGetTextFromScreen: the row of the cursor */
#define KT_CURSOR_ROW       65535

/* ktSleep flags */
#define KT_SLEEP_KEY        1

/* ktCaptureBegin and ktCaptureToPrinterBegin flags */
#define KT_CAP_APPEND       1
#define KT_CAP_TEXT         2

/* ktCaptureControl and ktCaptureToPrinterControl actions; a query gives 0 off, 1 on, 2 paused */
#define KT_CAP_STOP         0
#define KT_CAP_PAUSE        1
#define KT_CAP_RESUME       2
#define KT_CAP_QUERY        3

/* ktCaptureControl and ktCaptureToPrinterControl: what KT_CAP_QUERY gives */
#define KT_CAP_OFF          0
#define KT_CAP_ON           1
#define KT_CAP_PAUSED       2

/* ktGetInput flags */
#define KT_IN_HIDDEN        1
#define KT_IN_NUMBER        2
#define KT_IN_PRESET        4

/* Transfer protocols (ktSetXferProtocol) */
#define KT_XP_RAW           0
#define KT_XP_ASCII         1
#define KT_XP_XMODEM        2
#define KT_XP_XMODEM_1K     3
#define KT_XP_YMODEM        4
#define KT_XP_ZMODEM        5
#define KT_XP_KERMIT        6

/* Transfer directions (ktSetXferProtocol, ktGetXferProtocol) */
#define KT_XD_SEND          0
#define KT_XD_RECEIVE       1
#define KT_XD_BOTH          2   /* ktSetXferProtocol only */

/* Transfer folders (ktSetXferDirectory, ktGetXferDirectory) */
#define KT_DIR_UPLOAD       0
#define KT_DIR_DOWNLOAD     1

/* ktGetXferSendList and ktGetXferDropList: the index that asks for the count */
#define KT_LIST_COUNT       (-1)

/* ktXferAbort */
#define KT_ABORT_NOW        0   /* stop the running transfer */
#define KT_ABORT_DROPLIST   1   /* let it finish, cancel the drop list */

/* ktGetXferStatus */
#define KT_XS_IDLE          0
#define KT_XS_RUNNING       1

/* Transfer flags (ktSetXferParameters) */
#define KT_XF_OVERWRITE     1
#define KT_XF_RESUME        2
#define KT_XF_ASCII         4
#define KT_XF_KEEPPATHS     8
#define KT_XF_QUIET         16

/* Port types (ktGetPortType's result) */
#define KT_PT_TCP           1
#define KT_PT_PTY           2
#define KT_PT_SERIAL        3

/* Parity, the middle digit of ktGetPortMode and ktSetPortMode (801 is 8N1, 721 is 7E1) */
#define KT_PARITY_NONE      0
#define KT_PARITY_ODD       1
#define KT_PARITY_EVEN      2
#define KT_PARITY_MARK      3
#define KT_PARITY_SPACE     4

/* Flow control, the number of the port setting Flow (ktGetPortPrefs, ktSetPortPrefs) */
#define KT_FLOW_NONE        0
#define KT_FLOW_XONXOFF     1
#define KT_FLOW_RTSCTS      2

/* ktGetPortPrefs: the index that looks up the name already in the name buffer */
#define KT_PREF_BY_NAME     65535

/* ktGetAsciiSettings and ktSetAsciiSettings ids */
#define KT_AS_LINEEND       1   /* KT_LE_... */
#define KT_AS_ADDLF         2   /* a received bare CR shows as CR LF */
#define KT_AS_CHARDELAY     3   /* ms between typed characters */
#define KT_AS_LINEDELAY     4   /* ms after each typed line */
#define KT_AS_WAITCHAR      5   /* the character an ASCII upload waits for after a line; 0 none */
#define KT_AS_TABWIDTH      6   /* an ASCII upload's tabs become blanks to this width; 0 keeps them */

/* Line ends (KT_AS_LINEEND): what a typed CR becomes */
#define KT_LE_CR            0
#define KT_LE_LF            1
#define KT_LE_CRLF          2

/* ktMessageBox buttons */
#define KT_MB_OK            0
#define KT_MB_OKCANCEL      1
#define KT_MB_ABORTRETRYIGNORE 2
#define KT_MB_YESNOCANCEL   3
#define KT_MB_YESNO         4
#define KT_MB_RETRYCANCEL   5

/* ktMessageBox icons */
#define KT_ICON_NONE        0
#define KT_ICON_INFO        1
#define KT_ICON_WARNING     2
#define KT_ICON_ERROR       3
#define KT_ICON_QUESTION    4

/* ktMessageBox answers (its result, and its default argument) */
#define KT_ID_OK            1
#define KT_ID_CANCEL        2
#define KT_ID_ABORT         3
#define KT_ID_RETRY         4
#define KT_ID_IGNORE        5
#define KT_ID_YES           6
#define KT_ID_NO            7

/* ktSetMessageTimer: which prompts */
#define KT_TIMER_MESSAGE    0
#define KT_TIMER_INPUT      1

/* Windows (ktSizeRavelto and ktSizePhonebook states; ktGetWindowStateBits and ktGetHWND which) */
#define KT_WIN_HOST         0
#define KT_WIN_PHONEBOOK    1
#define KT_WS_RESTORE       0
#define KT_WS_MINIMIZE      1
#define KT_WS_MAXIMIZE      2
#define KT_WS_HIDE          3
#define KT_WS_SHOW          4
#define KT_WB_VISIBLE       1
#define KT_WB_MINIMIZED     2
#define KT_WB_MAXIMIZED     4
#define KT_WB_ACTIVE        8

/* ktGetVersion */
#define KT_VER_HOST         0   /* the host library's version */
#define KT_VER_LEVEL        1   /* the level of the kt semantics it follows */

/* ktGetRuntimeValue ids: the value as a number in *pvalue, as text in buf */
#define KT_RV_BYTES_IN         1   /* bytes received */
#define KT_RV_BYTES_OUT        2   /* bytes sent */
#define KT_RV_SECONDS          3   /* seconds connected */
#define KT_RV_UNCONSUMED       4   /* bytes received and not consumed by a wait */
#define KT_RV_DROPPED          5   /* unconsumed bytes dropped from a full receive buffer */
#define KT_RV_CURSOR_ROW       6
#define KT_RV_CURSOR_COLUMN    7
#define KT_RV_ROWS             8
#define KT_RV_COLUMNS          9
#define KT_RV_CONSUMED_TEXT    10  /* what the last match consumed (its last 16 KiB) */
#define KT_RV_MATCH            11  /* the text the last wait matched */
#define KT_RV_UNCONSUMED_TEXT  12  /* the unconsumed bytes, left unconsumed */
#define KT_RV_XFER_BYTES       13  /* the running transfer's bytes so far */
#define KT_RV_XFER_TOTAL       14  /* its file's size */
#define KT_RV_XFER_FILE        15  /* its file */
#define KT_RV_XFER_FILES       16  /* files transferred */
#define KT_RV_PEER             17  /* ip:port, device, or "pid N" */
#define KT_RV_CHILD_PID        18  /* the pty child's process id */
#define KT_RV_CHILD_STATUS     19  /* its exit status, -1 while it runs */
#define KT_RV_ERRNO            20  /* the last errno, and its text */
#define KT_RV_MODE             21  /* 1 interactive, 0 unattended */
/* clang-format on */
