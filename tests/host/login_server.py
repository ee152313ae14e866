#!/usr/bin/env python3
"""The test server of the host library's tests and the logon example, on 127.0.0.1 (--port, else
any; --once serves one session): a banner, "login: " and "Password: " (alice/secret), then a "$ "
prompt with echo. Commands: ls (three file names), echo TEXT, lines N (N numbered lines), slow MS
TEXT (TEXT a byte every MS ms), bytes N (N bytes of PATTERN, as fast as the client takes them),
term (the terminal type and window size telnet gave, and what the client said of its ECHO and BINARY),
hangup (closes without a word) and exit ("logout", then closes). A telnet server asks for TTYPE, NAWS,
ECHO and BINARY and offers ECHO and BINARY; it sends its data as they are (binary mode)."""
import argparse
import re
import socketserver
import time

IAC, DO, WILL, WONT, SB, SE = 255, 253, 251, 252, 250, 240
TTYPE, NAWS, ECHO, BINARY = 24, 31, 1, 0
VERBS = {WILL: "WILL", WONT: "WONT"}
PATTERN = (bytes(range(256)) + b"\r\x00") * 256  # 'bytes N' sends it again and again
# What the client sends besides data: an escaped IAC, a negotiation (WILL, WONT, DO, DONT) or a
# subnegotiation.
TELNET = re.compile(rb"\xff(?:(\xff)|([\xfb-\xfe].)|\xfa(.*?)\xff\xf0)", re.S)
LINE_END = re.compile(rb"\r\n|\r\x00|\r|\n")


class Session(socketserver.BaseRequestHandler):
    def setup(self):
        self.pending = self.raw_rest = b""
        self.terminal = self.size = "none"
        self.said = {ECHO: [], BINARY: []}  # what the client said of its side of each (WILL, WONT)

    def send(self, data):
        data = data.encode() if isinstance(data, str) else data
        if self.server.telnet:
            data = data.replace(bytes([IAC]), bytes([IAC, IAC]))
        self.request.sendall(data)

    def telnet(self, data):
        """'data' without telnet commands, and the incomplete rest; answers TTYPE, notes NAWS."""
        out, end = b"", 0
        for m in TELNET.finditer(data):
            out, end = out + data[end:m.start()] + (m[1] or b""), m.end()
            if m[2] == bytes([WILL, TTYPE]):
                self.request.sendall(bytes([IAC, SB, TTYPE, 1, IAC, SE]))
            elif m[2] and m[2][1] in self.said and m[2][0] in (WILL, WONT):
                self.said[m[2][1]].append(VERBS[m[2][0]])
            elif m[3] is not None:
                self.subnegotiation(m[3])
        cut = data.find(bytes([IAC]), end)  # where a command that is not whole yet begins
        cut = len(data) if cut < 0 else cut
        return out + data[end:cut], data[cut:]

    def subnegotiation(self, body):
        if body[:2] == bytes([TTYPE, 0]):
            self.terminal = body[2:].decode(errors="replace")
        elif body[:1] == bytes([NAWS]) and len(body) >= 5:
            self.size = f"{body[3] * 256 + body[4]}x{body[1] * 256 + body[2]}"

    def line(self, echo=True):
        """The next line the client typed; EOFError at its end, which handle_error ignores."""
        while not (end := LINE_END.search(self.pending)):
            data = self.request.recv(65536)
            if not data:
                raise EOFError
            if self.server.telnet:
                data, self.raw_rest = self.telnet(self.raw_rest + data)
            self.pending += data
        text, self.pending = self.pending[:end.start()], self.pending[end.end():]
        if echo:
            self.send(text + b"\r\n")
        return text.decode("latin-1")

    def handle(self):
        if self.server.telnet:
            self.request.sendall(bytes([IAC, DO, TTYPE, IAC, DO, NAWS, IAC, WILL, ECHO, IAC, DO, ECHO,
                                        IAC, WILL, BINARY, IAC, DO, BINARY]))
        self.send("Welcome to the test server\r\n")
        while True:
            self.send("login: ")
            user = self.line()
            self.send("Password: ")
            password = self.line(echo=False)
            self.send("\r\n")
            if not self.server.fail and (user, password) == ("alice", "secret"):
                break
            self.send("Login incorrect\r\n")
        self.shell()

    def shell(self):
        while True:
            self.send("$ ")
            word, _, rest = self.line().strip().partition(" ")
            if word == "exit":
                self.send("logout\r\n")
            if word in ("exit", "hangup"):
                return
            self.run(word, rest)

    def run(self, word, rest):
        if word == "ls":
            self.send("alpha.txt  beta.txt  gamma.txt\r\n")
        elif word == "echo":
            self.send(rest.encode("latin-1") + b"\r\n")
        elif word == "lines":
            self.send("".join(f"line {i}\r\n" for i in range(1, int(rest) + 1)))
        elif word == "slow":
            ms, _, text = rest.partition(" ")
            for c in text:
                self.send(c)
                time.sleep(int(ms) / 1000)
        elif word == "bytes":
            for at in range(0, int(rest), len(PATTERN)):
                self.send(PATTERN[:int(rest) - at])
        elif word == "term":
            echo, binary = (",".join(self.said[option]) for option in (ECHO, BINARY))
            self.send(f"terminal {self.terminal} size {self.size} echo {echo} binary {binary}\r\n")
        elif word:
            self.send(f"{word}: command not found\r\n")


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, telnet=False, fail=False, port=0):
        super().__init__(("127.0.0.1", port), Session)
        self.telnet, self.fail = telnet, fail

    def handle_error(self, request, client_address):
        pass  # a client that went away


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--once", action="store_true")
    args = parser.parse_args()
    s = Server(port=args.port)
    print(f"listening on 127.0.0.1:{s.server_address[1]}", flush=True)
    if args.once:
        s.daemon_threads = False
        s.handle_request()
        s.server_close()  # waits for the session to end
    else:
        s.serve_forever()


if __name__ == "__main__":
    main()
