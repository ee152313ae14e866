#!/bin/sh
# The logon of the tests' telnet daemon (telnetd -E): a user and a password read as a terminal
# reads lines, then a shell with the prompt "$ " in the daemon's folder.
printf 'login: '; read -r user
stty -echo; printf 'Password: '; read -r password; stty echo; echo
if [ "$user" = alice ] && [ "$password" = secret ]; then
  exec env PS1='$ ' /bin/sh
fi
echo "Login incorrect"; exit 1
