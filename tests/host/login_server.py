#!/usr/bin/env python3
"""The test server of the host library's tests and the logon example, on 127.0.0.1 (--port, else
any): a banner, "login: " and "Password: " (alice/secret), then a "$ " prompt with echo. Commands:
  ls               three file names
  echo TEXT        TEXT
  lines N          N numbered lines
  slow MS TEXT     TEXT one byte every MS ms
  bytes N          N bytes of a fixed pattern, as fast as the client takes them
  term             the terminal type and window size that telnet negotiation gave
  hangup           closes the connection without a word
  exit             "logout" and closes
--telnet asks for TTYPE and NAWS and offers ECHO; --fail refuses every logon; --once serves one
session and exits."""
import argparse
import socketserver
import threading
import time

IAC, DONT, DO, WONT, WILL, SB, SE = 255, 254, 253, 252, 251, 250, 240
TTYPE, NAWS, ECHO = 24, 31, 1
PATTERN = bytes(range(256)) * 256


def pattern_bytes(n):
    """The first n bytes of the pattern that 'bytes N' sends."""
    whole, rest = divmod(n, len(PATTERN))
    return PATTERN * whole + PATTERN[:rest]


class Session(socketserver.BaseRequestHandler):
    def setup(self):
        self.pending = self.raw_rest = b""
        self.terminal = self.size = "none"

    def send(self, data):
        data = data.encode() if isinstance(data, str) else data
        if self.server.telnet:
            data = data.replace(bytes([IAC]), bytes([IAC, IAC]))
        self.request.sendall(data)

    def command(self, *codes):
        self.request.sendall(bytes(codes))

    def telnet(self, data):
        """'data' without telnet commands, and the incomplete rest; answers TTYPE, notes NAWS."""
        out, i = bytearray(), 0
        while i < len(data):
            c = data[i]
            if c != IAC:
                out.append(c)
                i += 1
            elif i + 1 < len(data) and data[i + 1] == IAC:
                out.append(IAC)
                i += 2
            elif i + 2 < len(data) and data[i + 1] in (DO, DONT, WILL, WONT):
                if data[i + 1] == WILL and data[i + 2] == TTYPE:
                    self.command(IAC, SB, TTYPE, 1, IAC, SE)
                i += 3
            elif i + 1 < len(data) and data[i + 1] == SB:
                end = data.find(bytes([IAC, SE]), i)
                if end < 0:
                    return bytes(out), data[i:]
                self.subnegotiation(data[i + 2:end])
                i = end + 2
            else:
                return bytes(out), data[i:]
        return bytes(out), b""

    def subnegotiation(self, body):
        if body[:2] == bytes([TTYPE, 0]):
            self.terminal = body[2:].decode(errors="replace")
        elif body[:1] == bytes([NAWS]) and len(body) >= 5:
            self.size = f"{body[3] * 256 + body[4]}x{body[1] * 256 + body[2]}"

    def line(self, echo=True):
        """The next line the client typed (CR, LF or CR LF ends it), or None at its end."""
        while True:
            for end in (b"\r\n", b"\r\x00", b"\r", b"\n"):
                at = self.pending.find(end)
                if at >= 0:
                    text, self.pending = self.pending[:at], self.pending[at + len(end):]
                    if echo:
                        self.send(text + b"\r\n")
                    return text.decode("latin-1")
            data = self.request.recv(65536)
            if not data:
                return None
            if self.server.telnet:
                data, rest = self.telnet(self.raw_rest + data)
                self.raw_rest = rest
            self.pending += data

    def handle(self):
        if self.server.telnet:
            self.command(IAC, DO, TTYPE, IAC, DO, NAWS, IAC, WILL, ECHO)
        self.send("Welcome to the test server\r\n")
        while True:
            self.send("login: ")
            user = self.line()
            if user is None:
                return
            self.send("Password: ")
            password = self.line(echo=False)
            if password is None:
                return
            self.send("\r\n")
            if not self.server.fail and (user, password) == ("alice", "secret"):
                break
            self.send("Login incorrect\r\n")
        self.shell()

    def shell(self):
        while True:
            self.send("$ ")
            command = self.line()
            if command is None:
                return
            word, _, rest = command.strip().partition(" ")
            if word == "exit":
                self.send("logout\r\n")
                return
            if word == "hangup":
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
            left = int(rest)
            while left > 0:
                chunk = PATTERN[:min(left, len(PATTERN))]
                self.send(chunk)
                left -= len(chunk)
        elif word == "term":
            self.send(f"terminal {self.terminal} size {self.size}\r\n")
        elif word:
            self.send(f"{word}: command not found\r\n")


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def handle_error(self, request, client_address):
        pass  # a client that goes away


def server(telnet=False, fail=False, port=0):
    s = Server(("127.0.0.1", port), Session)
    s.telnet, s.fail = telnet, fail
    return s


def start(telnet=False, fail=False):
    """A server serving in a thread of this process."""
    s = server(telnet, fail)
    threading.Thread(target=s.serve_forever, daemon=True).start()
    return s


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--telnet", action="store_true")
    parser.add_argument("--fail", action="store_true")
    parser.add_argument("--once", action="store_true")
    args = parser.parse_args()
    s = server(args.telnet, args.fail, args.port)
    print(f"listening on 127.0.0.1:{s.server_address[1]}", flush=True)
    if args.once:
        s.daemon_threads = False
        s.handle_request()
        s.server_close()  # waits for the session to end
    else:
        s.serve_forever()


if __name__ == "__main__":
    main()
