// transfer.h: file transfers: raw and ASCII by the host, XMODEM, XMODEM-1K, YMODEM and ZMODEM by
// the lrzsz programs.
//
// The program of a transfer runs with its standard input and output on a socketpair that the I/O
// loop relays to the connection, and its standard error to the session's log (its progress pieces
// feed KT_RV_XFER_BYTES to KT_RV_XFER_FILES). While it runs, received data goes to it and nowhere
// else. On a telnet session binary mode is asked for both ways for the transfer and given back after.
#ifndef HOST_TRANSFER_H
#define HOST_TRANSFER_H

#include <cstdint>
#include <string>
#include <vector>

#include "kt.h"
#include "program.h"

struct Session;

constexpr size_t XFER_LIST_LIMIT = 100;
// Every flag that ktSetXferParameters and the XferFlags setting take.
constexpr int32_t XFER_FLAGS = KT_XF_OVERWRITE | KT_XF_RESUME | KT_XF_ASCII | KT_XF_KEEPPATHS | KT_XF_QUIET;

struct Transfer {
  Program program;                     // the protocol program while it runs
  bool sending = false;
  bool aborted = false;
  bool skipped = false;                // the program said it skipped a file
  bool finished = false;               // a transfer has ended: final_status holds its result
  int32_t final_status = 0;
  std::string file;                    // the file being moved (KT_RV_XFER_FILE)
  std::string directory;               // where a receive puts its files
  std::string partial;                 // a file received in part, removed when the transfer fails
  int64_t bytes = 0, total = 0;        // of that file (KT_RV_XFER_BYTES, KT_RV_XFER_TOTAL)
  int files = 0;                       // files moved whole (KT_RV_XFER_FILES)
  std::string progress;                // the program's last progress piece, logged at the end
  int64_t started_ms = 0, shown_ms = -1;  // the start, and when the progress line was drawn
  bool asked_binary[2] = {false, false};  // ours, theirs: asked for this transfer
  int64_t discard_until = -1;          // after an abort, received data is dropped until then
  // ZMODEM's end: ZFIN seen each way (the tails keep a header that a read cut), and the time of
  // the last byte from the remote.
  std::string tail[2];
  bool zfin[2] = {false, false};
  int64_t last_in_ms = 0;
  // Receiving: the sender's "OO" did not come (lrzsz's sz flushes it away on a terminal), so what
  // the program says now is for nobody.
  bool sender_gone = false;
  std::vector<std::string> send_list;  // ktXferAddToSendList
  std::vector<std::string> drop_list;  // ktXferDropSend: files sent one by one when no transfer runs
  // A raw or ASCII send, fed to the output queue as it drains: the file, what was read of it and
  // not yet made into output, the output not yet queued (ASCII: the line with its end), no byte
  // before source_next_ms (CharDelay, LineDelay), and WaitChar awaited until source_wait_until.
  int source = -1;
  bool source_text = false;
  bool source_failed = false;          // reading the file failed
  std::string source_read, source_out;
  int64_t source_next_ms = 0, source_wait_until = -1;
  size_t source_wait_from = 0;
  // A raw or ASCII receive: the file that the received data goes to until the line is quiet.
  int sink = -1;
  bool sink_text = false;              // ASCII: CR LF becomes LF
  bool sink_cr = false;                // a CR that may begin a CR LF
  int64_t sink_quiet_ms = 2000;
  int adl_override = KT_ADL_DEFAULT;   // ktSetAdlOverride's KT_ADL_...
  bool automatic = false;              // the running transfer was started by automatic download
  std::string adl_tail;                // the end of the data searched, for a start a read cut
  int64_t adl_quiet_until = -1;        // no automatic start before then, after one failed
};

bool transfer_running(const Session &s);
// A raw or ASCII receive takes the received data: false when none runs.
bool transfer_sink(Session &s, std::string_view data);
// The program's standard error: progress pieces and lines for the log.
void transfer_errors(Session &s, const std::string &pieces);
// The program has exited: its status becomes the final status.
void transfer_ended(Session &s);
// The connection went away, or the run ends: the program is stopped, the transfer fails.
void transfer_stop(Session &s, int32_t status);
// The line is gone: the program gets the end of its input and finishes with what it has.
void transfer_line_gone(Session &s);
// What the program wrote for the remote, watched for ZMODEM's end; once the sender is known to be
// gone, nothing more is relayed (rz's repeated ZFINs would reach the remote's shell).
void transfer_relay(Session &s, std::string *data);
// How much of the received data the program takes: all of it up to the end of the sender's ZFIN;
// after that its "OO" or a repeated ZFIN, while other data means that the sender has ended without
// an "OO" (lrzsz's sz on a terminal flushes it away): the program's input ends and the data (the
// remote shell's prompt) takes the usual way.
size_t transfer_take(Session &s, std::string_view data);
// A remote sz on a terminal may lose its last "OO", for which rz then waits 30 s: once ZFIN has
// gone both ways and the line has been quiet, rz gets the end of its input.
void transfer_timers(Session &s, int64_t now, int64_t *wake);
// Aborts a running transfer: the cancel string to the remote, the program stopped, KT_E_ABORTED.
void transfer_abort(Session &s);
// Looks for a ZMODEM start in received data while no transfer runs and automatic download is on
// (AutoDownload, or ktSetAdlOverride): where the rest of 'data' is for the receive program, which
// has then started and has the start header; data.size() when nothing started.
size_t transfer_autodownload(Session &s, std::string_view data);
// Whether received data is dropped, as the line is not yet quiet after an abort.
bool transfer_discards(Session &s);

#endif
