#!/usr/bin/env python3
"""The waits: what they match and consume, timeouts, interrupts, no busy waiting (the time limit: test_session)."""
import os, resource, signal, time

from hostcase import HostCase, main


class Waits(HostCase):
    def test_text_anywhere_early_split_case_alternatives(self):
        values = self.on_server("""type("echo early"); ktPause(h, 300); ktWaitForString(h, "early", 0, 0)
type("slow 20 abcdef"); ktWaitForString(h, "cde", 5000, 0); text(KT_RV_MATCH); text(KT_RV_CONSUMED_TEXT)
type("echo HeLLo"); ktWaitForString(h, "hello", 300, 0); ktWaitForString(h, "hello", 0, KT_WAIT_NOCASE)
type("echo two"); ktWaitForString(h, "one|two|three", 5000, KT_WAIT_ALT | KT_WAIT_KEEP)
ktWaitForString(h, "two", 0, 0); ktWaitForString(h, "one||three", 0, KT_WAIT_ALT)
ktWaitForString(h, "", 0, 0); type("echo fresh"); ktPause(h, 300)
ktWaitForString(h, "fresh", 0, KT_WAIT_NEW); ktGetRuntimeValue(h, KT_RV_UNCONSUMED, 0, 0, 0)\n""")
        self.assertEqual(values, [0, 1, 0, 0, 1, 0, 3, 24, 1, -5, 0, 1, 1, 0, -4, -4, 1, 0, -5, 1])
        self.assertEqual(self.shown(), ["cde", "", "early", "$ slow 20 abcde"])

    def test_prompts_need_the_end_of_the_data_and_a_quiet_line(self):
        values = self.on_server("""type("slow 150 ab$ cd"); ktWaitForPrompt(h, 100, "$ ", 5000, 0)
text(KT_RV_CONSUMED_TEXT); ktWaitForPrompt(h, 0, "$ ", 5000, 0); type("slow 150 ab$ cd")
ktWaitForPrompt(h, 400, "$ ", 5000, 0); text(KT_RV_CONSUMED_TEXT)
type("echo x"); ktWaitForPrompt(h, 0, "$ ", 5000, KT_WAIT_KEEP); ktWaitForPrompt(h, 0, "X|$ ", 0, KT_WAIT_ALT)\n""")
        self.assertEqual(values, [0, 1, 0, 21, 0, 1, 0, 25, 1, 0, 1])
        self.assertEqual(self.shown(), ["slow 150 ab$ cd", "ab$ ", "slow 150 ab$ cd", "ab$ cd$ "])

    def test_lines_lull_activity_and_overflow(self):
        values = self.on_server("""type("lines 5"); ktWaitForLines(h, 3, 5000); text(KT_RV_CONSUMED_TEXT)
ktWaitForLines(h, 0, 5000); ktWaitForPrompt(h, 0, "$ ", 5000, 0); ktWaitForActivity(h, 300)
type("slow 100 abcde"); ktWaitForActivity(h, 5000) > 0; ktWaitForLull(h, 300, 5000); value(KT_RV_UNCONSUMED)
ktWaitForLull(h, 1000, 200); type("bytes 100000"); ktWaitForLull(h, 500, 10000); value(KT_RV_UNCONSUMED)
value(KT_RV_DROPPED); ktWaitForPrompt(h, 0, "$ ", 0, 0); ktWaitForOutputDone(h, 1000)\n""")
        self.assertEqual(values, [0, 1, 3, 25, -4, 0, -5, 1, 1, 0, 23, -5, 1, 0, 65536,
                                  23 + 14 + 100000 + 2 - 65536, 0, 0])
        self.assertEqual(self.shown(), ["lines 5", "line 1", "line 2", ""])

    def timed(self, body):
        """The status and the CPU seconds of a run of 'body' after logging on."""
        script = self.logon_script("logon()\n" + body)
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        status = self.run_script(script)[0]
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        return status, after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime

    def test_timeouts_hold_and_idle_waits_sleep(self):
        # timed by files written just before and after each wait: the run's start does not count
        waits = ('ktWaitForString(h, "never", 500, 0)', 'ktWaitForPrompt(h, 0, "never", 500, 0)',
                 "ktWaitForLines(h, 1, 500)", "ktWaitForActivity(h, 500)",
                 "ktWaitForConnection(h, KT_ST_IDLE, 500)", "ktPause(h, 500)", "ktSleep(500, 0)",
                 'ktWaitForString(h, "never", 0, 0)')
        body = "".join(f'mark("a{i}")\n{w}\nmark("b{i}")\n' for i, w in enumerate(waits))
        base_cpu = min(self.timed('ktWaitForString(h, "never", 0, 0)\n')[1] for _ in range(3))
        status, cpu = self.timed('int mark(name) char *name; { fclose(fopen(name, "w")); return 0; }\n' + body)
        self.assertEqual(status, 0)
        took = [(os.stat(self.path(f"b{i}")).st_mtime_ns - os.stat(self.path(f"a{i}")).st_mtime_ns) / 1e9
                for i in range(len(waits))]
        for wait, seconds in zip(waits[:-1], took):
            self.assertTrue(0.45 <= seconds <= 2.0, (wait, seconds))
        self.assertLess(took[-1], 0.5)
        self.assertLess(cpu - base_cpu, 0.035, "idle waits of 3.5 s used more than 1% of a core")

    def test_an_interrupt_cancels_a_wait(self):
        proc = self.start_script(self.logon_script("""logon(); ktSetLogFileName(h, "s.log")
show("waiting"); ktWaitForString(h, "never", KT_FOREVER, 0)\n"""))
        self.wait_until(self.shown, "no wait began")
        time.sleep(0.3)
        sent = time.monotonic()
        proc.send_signal(signal.SIGINT)
        proc.communicate(timeout=30)
        self.assertLess(time.monotonic() - sent, 2.0)
        self.assertEqual((proc.returncode, self.trace()), (130, ["0", "0", "0"]))
        self.assertIn("TIME [SERVER] script ended (status 130)", self.log())


if __name__ == "__main__":
    main()
