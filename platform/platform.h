// The platform layer: everything the interpreter takes from the operating system. The core calls
// only these functions; platform/posix and platform/win32 implement them.
#pragma once
#include <cstdint>
#include <cstdio>

// A source file opened for reading; the core keeps it opaque.
struct PlatFile;

// Opens 'path' for reading; null when it cannot be opened.
PlatFile *plat_open(const char *path);
// Reads up to 'size' bytes into 'buf'; returns the count, 0 at the end, -1 on an error.
int plat_read(PlatFile *file, void *buf, int size);
void plat_close(PlatFile *file);

// One non-blocking step of the message pump: 0 once the quit message has been seen, else 1.
int plat_pump_step();
void plat_post_quit();

// Copies message 'id' of the message table into 'buf' (at most size-1 characters, NUL-terminated);
// returns its length, 0 when there is no such message.
int plat_load_string(int id, char *buf, int size);

// Writes one finished piece of trace text to the debugger channel.
void plat_trace(const char *text);

// The user's answers to the error dialog.
enum DialogAnswer { DIALOG_NONE = -1, DIALOG_CANCEL = 0, DIALOG_CONTINUE = 1, DIALOG_EDIT = 2 };
// Shows the error 'message' with the script path and waits for the answer.
DialogAnswer plat_error_dialog(const char *message, const char *script_path);
// Starts the editor on 'file' without waiting for it.
void plat_start_editor(const char *file);
// Writes one error line where errors are shown, without asking anything.
void plat_error_line(const char *message);

// The two steps of the end of a run around the closing of the script's streams: the first
// stops what could still interrupt the run; the second tells the host library the status and
// gives the terminal its modes back.
void plat_run_ending();
void plat_run_ended(int status);

// The directory of the interpreter's executable, with a final separator.
void plat_module_dir(char *buf, int size);

// The script address of the first byte of the script arena block 'arena'.
uint32_t plat_arena_base(void *arena);

// Whether file names in messages are lowered in place.
bool plat_lowers_file_names();

// The directory separator of the platform's paths.
char plat_dir_separator();

// --- Files, directories and settings for the built-ins --------------------------------------
// Paths are the platform's own; results follow the C library (0 on success, -1 on failure).

// A stream for a script's fopen: the C library's fopen, but where the platform names its own
// standard streams as files (/dev/stdout on POSIX), the stream is on the process's own descriptor,
// the same open file, so that output the caller redirected or piped keeps its order.
std::FILE *plat_fopen(const char *path, const char *mode);
// Whether something (a file or a directory) exists at 'path'.
bool plat_exists(const char *path);
bool plat_is_directory(const char *path);
// Removes a file; a directory is not removed (-1).
int plat_remove(const char *path);
// Renames a file or directory; -1 when 'to' exists already.
int plat_rename(const char *from, const char *to);
int plat_chdir(const char *path);
int plat_mkdir(const char *path);
int plat_rmdir(const char *path);
// The current directory into 'buf'; false when it cannot be found or does not fit.
bool plat_getcwd(char *buf, int size);
// Whether paths may begin with a drive letter and ':'.
bool plat_has_drives();
// The separator of the directory lists in environment variables such as PATH.
char plat_path_list_separator();

// The profile-string lookup of Windows' initialization files: the value of 'key' in 'section'
// of 'file' (or 'def' when there is none), the key names of 'section' when 'key' is null, the
// section names when 'section' is null; truncated to 'size' bytes of 'buf'. Returns the count of
// characters written without the final NUL. A file name without a directory is looked up where
// the platform keeps its settings files.
int plat_profile_string(const char *section, const char *key, const char *def, char *buf, int size,
                        const char *file);

// --- The host automation library ------------------------------------------------------------
// The kt built-ins call the functions of the host product's automation library (see
// include/oxel_host.h for its side of the calls). The platform loads it at the first request and
// does not try again when that fails.

// A function of the host library; the core only keeps it and hands it back.
using PlatHostFunction = void (*)();
// Most argument words of a host function.
constexpr int PLAT_HOST_MAX_WORDS = 7;
// The host library's function 'name', loading the library first if needed; null when the
// library cannot be loaded or has no function of that name.
PlatHostFunction plat_host_function(const char *name);
// Calls 'function' with the 'count' words in order (count at most PLAT_HOST_MAX_WORDS) and
// returns its 32-bit result.
int32_t plat_host_call(PlatHostFunction function, const int32_t *words, int count);
// The start-up values that ktInitialize passes after its 0: the instance handle, the
// previous-instance handle and the address of the command line.
void plat_host_startup_values(int32_t values[3]);
