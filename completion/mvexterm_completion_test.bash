#!/usr/bin/env bash
# Checks the bash completion of mvexterm: usage: mvexterm_completion_test.bash COMPLETION_FILE
# Runs the completion function as bash would, for each argument position, and compares the
# whole list offered. Prints every mismatch and exits 1 when there is one.
set -uo pipefail
completion_file=$(realpath -- "$1") || exit 1

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1

# shellcheck source=completion/mvexterm.bash
source "$completion_file" || { echo "cannot load $completion_file"; exit 1; }

failures=0
check() {  # check NAME EXPECTED ACTUAL
  if [[ $2 != "$3" ]]; then
    printf 'FAIL %s\n  expected: [%s]\n  actual:   [%s]\n' "$1" "$2" "$3"
    failures=$((failures + 1))
  fi
}

# Completes the last of the given words, as typed after "mvexterm"; prints the offers on one line.
offers() {
  COMP_WORDS=(mvexterm "$@")
  COMP_CWORD=$#
  COMPREPLY=()
  _mvexterm
  local IFS=' '
  printf '%s' "${COMPREPLY[*]}"
}

check 'registered for mvexterm' 'complete -F _mvexterm mvexterm' "$(complete -p mvexterm)"

# The device list, on a folder laid out like /dev.
mkdir -p fake_dev/serial/by-id
touch fake_dev/ttyS0 fake_dev/ttyS1 fake_dev/ttyUSB0 fake_dev/ttyACM0 fake_dev/tty0 \
  fake_dev/ttyprintk fake_dev/null fake_dev/serial/by-id/usb-Maker_Adapter_A1-if00-port0
check 'devices: on-board, USB, ACM and by-id, nothing else' \
  "fake_dev/ttyS0 fake_dev/ttyS1 fake_dev/ttyUSB0 fake_dev/ttyACM0 fake_dev/serial/by-id/usb-Maker_Adapter_A1-if00-port0" \
  "$(_mvexterm_serial_devices fake_dev | tr '\n' ' ' | sed 's/ $//')"
check 'devices: an empty folder gives none' '' "$(mkdir -p empty_dev && _mvexterm_serial_devices empty_dev)"

all_rates="0 50 150 300 600 1200 1800 2400 4800 9600 19200 38400 57600 115200 230400 460800 500000 \
576000 921600 1000000 1152000"
touch pty_link
mkdir -p bin
printf '#!/bin/sh\n' >bin/mvxcomp_for_test
chmod +x bin/mvxcomp_for_test

# name | words after mvexterm (the last one is completed) | expected offers
cases=(
  "port: COM names|COM|COM1 COM2 COM3 COM4"
  "port: COM3|COM3|COM3"
  "port: options|--|--help --version"
  "port: any other file as a device path|pty_l|pty_link"
  "rate: every supported one in numeric order||$all_rates"
  "rate: by prefix|1152|115200 1152000"
  "rate: 96|96|9600"
  "rate: nothing for an unsupported one|110|"
  "delay: a few in numeric order|COM1 9600 |1 5 10 20 50 100"
  "delay: by prefix|COM1 9600 2|20"
  "compiler: commands|COM1 9600 20 mvxcomp_for_t|mvxcomp_for_test"
  "nothing past the fourth|COM1 9600 20 mvxcomp x|"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r name words expected <<<"$entry"
  read -r -a list <<<"$words"
  # A trailing blank, or a rate case, means the word being completed is the empty one or the
  # second; the table keeps the words apart with spaces.
  case $name in
    rate:*) list=(/dev/ttyS0 "${list[@]}") ;;
  esac
  [[ $words == *' ' || -z $words ]] && list+=("")
  check "$name" "$expected" "$(PATH="$scratch/bin:$PATH" offers "${list[@]}")"
done

if [[ $failures -ne 0 ]]; then
  echo "$failures completion check(s) failed"
  exit 1
fi
echo "completion: all checks passed"
