#!/usr/bin/env python3
"""The user: prompts answered unattended and on a terminal (oxel under a pty); window states."""
import hostcase
from hostcase import HostCase, on_pty


class User(HostCase):
    def test_answers_defaults_and_cancels(self):
        self.write("answers.ini", "[MessageBox]\nQuestion=no\n[Input]\nLogon=secret\n[Select]\n"
                   "Select a phonebook entry=beta\n", "phonebook.ini", "[alpha]\n[beta]\n")
        status, trace, errors = self.run_script("""char buf[40]; ktInitialize()
ktMessageBox("Proceed?", "Question", KT_MB_YESNO, 0, 0, KT_ICON_QUESTION)
ktMessageBox("Really?", "Other", KT_MB_YESNOCANCEL, KT_ID_NO, 0, 0)
ktMessageBox("Sure?", "Other", KT_MB_YESNOCANCEL, KT_ID_IGNORE, 0, 0)
ktGetInput(buf, sizeof(buf), KT_IN_HIDDEN, "Password:", "Logon", 0)
show(buf); strcpy(buf, "preset"); ktGetInput(buf, sizeof(buf), KT_IN_PRESET, "Name:", "Unknown", 0); show(buf)
ktGetInput(buf, sizeof(buf), 0, "Name:", "Unknown", 0); ktGetInput(buf, 4, 0, "Password:", "Logon", 0); show(buf)
ktGetSelectedPhonebookEntry(0, buf, sizeof(buf), 0); show(buf)
ktGetSelectedPhonebookEntry("Pick", buf, sizeof(buf), 0)\n""", items="answers=answers.ini")
        self.assertEqual(trace, ["0", "7", "7", "-4", "6", "0", trace[6], "6", "0", "-11", "6", "0", "1", "0", "-11"])
        self.assertEqual(self.shown(), ["secret", "preset", "sec", "beta"])
        self.assertEqual(errors.splitlines(), [
            'host: message box "Question": No (unattended)', 'host: message box "Other": No (unattended)',
            'host: input "Logon": "****" (unattended)', 'host: input "Unknown": "preset" (unattended)',
            'host: input "Unknown": cancelled (unattended)', 'host: input "Logon": "secret" (unattended)',
            'host: select "Select a phonebook entry": beta (unattended)',
            'host: select "Pick": cancelled (unattended)'])

    def test_window_states_and_the_message_timer(self):
        values = self.values("""ktInitialize(); ktGetWindowStateBits(KT_WIN_HOST)
ktSizeRavelto(KT_WS_MINIMIZE, 1); ktGetWindowStateBits(KT_WIN_HOST); ktSizeRavelto(KT_WS_HIDE, 0)
ktGetWindowStateBits(KT_WIN_HOST); ktSizePhonebook(KT_WS_MAXIMIZE, 0); ktGetWindowStateBits(KT_WIN_PHONEBOOK)
ktSizePhonebook(5, 0); ktGetHWND(KT_WIN_HOST); ktSetMessageTimer(KT_TIMER_MESSAGE, 100)
ktSetMessageTimer(2, 100); ktBlockRemoteInput(0)\n""", WINDOWID="4711")
        self.assertEqual(values, [0, 0, 0, 11, 0, 2, 0, 5, -4, 4711, 0, -4, -3])

    def converse(self, script, answers, items=None):
        """The output and status of 'script' on a pty, each prompt answered with its keys, the modes restored."""
        pending = list(answers)
        status, out, restored = on_pty([hostcase.OXEL, *self.arguments(script, items)], self.dir, self.env(), pending)
        self.assertEqual((pending, restored), ([], True), out)  # every prompt came; the modes came back
        return out, status

    def test_a_box_a_hidden_input_and_the_picker(self):
        self.write("phonebook.ini", "[alpha]\n[beta]\n")
        out, status = self.converse("""char buf[40]; ktInitialize()
ktMessageBox("Proceed?", "Question", KT_MB_YESNO, 0, 0, KT_ICON_QUESTION)
ktGetInput(buf, sizeof(buf), KT_IN_HIDDEN, "Password:", "Logon", 0); show(buf)
ktGetInput(buf, sizeof(buf), KT_IN_NUMBER, "Count:", 0, 0); show(buf)
ktMessageBox("Timed", "T", KT_MB_OKCANCEL, KT_ID_CANCEL, 300, 0)
ktGetSelectedPhonebookEntry("Pick one", buf, sizeof(buf), KT_FOREVER); show(buf)
fputs("sleeping\\n", fopen("/dev/stderr", "a")); ktSleep(20000, KT_SLEEP_KEY)\n""",
                                    [(b"(N)o", b"y"), (b"Logon: Password:", b"hush\r"), (b"Count:", b"x1\r"),
                                     (b"Count:", b"42\r"), (b"number or name: ", b"2\r"), (b"sleeping", b"x")])
        self.assertEqual((status, self.trace()), (0, ["0", "6", "4", "0", "2", "0", "2", "1", "0", "0", "1"]), out)
        self.assertIn(b"[question] Question: Proceed?", out)
        self.assertNotIn(b"hush", out)
        self.assertEqual(self.shown(), ["hush", "42", "beta"])
        self.assertIn(b"Pick one\r\n  1 alpha\r\n  2 beta\r\n", out)

    def test_keys_reach_a_released_session_and_the_escape_prompt_quits(self):
        self.write("phonebook.ini", "[cat]\nKind=pty\nCommand=stty raw -echo; cat\n",
                   "ravelto.ini", "[Host]\nMode=interactive\n")
        _, status = self.converse("""long err; ktInitialize(); ktConnectSession(0, 5000)
err = fopen("/dev/stderr", "a"); ktBlockRemoteInput(0); fputs("blocked\\n", err); ktWaitForString(0, "hidden", 1500, 0)
ktReleaseRemoteInput(0); fputs("released\\n", err); ktWaitForString(0, "shown", 10000, 0)
fputs("waited\\n", err); ktPause(0, 20000)\n""", items="cat", answers=[
            (b"blocked", b"hidden"), (b"released", b"shown"), (b"waited", b"\x1d"), (b"(q)uit the script? ", b"q")])
        self.assertEqual((status, self.trace()[3:]), (130, ["0", "0", "-5", "0", "0", "0", "0"]))


if __name__ == "__main__":
    hostcase.main()
