# bash completion for mvexterm [PORT [BAUD [DELAY [COMPILER]]]]
# Installed as share/bash-completion/completions/mvexterm; can also be sourced by hand.

# Prints, one a line, the serial devices present under the folder $1 (normally /dev): the
# on-board ports, USB serial adapters, USB modems and the stable names of USB devices.
_mvexterm_serial_devices() {
  local root=$1 path
  for path in "$root"/ttyS* "$root"/ttyUSB* "$root"/ttyACM* "$root"/serial/by-id/*; do
    [[ -e $path ]] && printf '%s\n' "$path"
  done
  return 0
}

# Completes the word under the cursor by its position on the command line. The offers are read
# one a line, so that names with blanks or wildcard characters stay whole.
_mvexterm() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  local IFS=$'\n'
  COMPREPLY=()
  case $COMP_CWORD in
    1)
      if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W $'--help\n--version' -- "$cur")
        return 0
      fi
      mapfile -t COMPREPLY < <(compgen -W \
        "$(_mvexterm_serial_devices /dev; printf '%s\n' COM1 COM2 COM3 COM4)" -- "$cur")
      # Any other device path can be given too, e.g. a pseudo-terminal or a link to one.
      if [[ ${#COMPREPLY[@]} -eq 0 ]]; then
        compopt -o filenames 2>/dev/null || true
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
      fi
      ;;
    2)
      mapfile -t COMPREPLY < <(compgen -W "$(printf '%s\n' 0 50 150 300 600 1200 1800 2400 4800 \
        9600 19200 38400 57600 115200 230400 460800 500000 576000 921600 1000000 1152000)" \
        -- "$cur")
      ;;
    3)
      mapfile -t COMPREPLY < <(compgen -W $'1\n5\n10\n20\n50\n100' -- "$cur")
      ;;
    4)
      mapfile -t COMPREPLY < <(compgen -c -- "$cur")
      ;;
  esac
  # Rates and delays read best in numeric order, not sorted as text.
  if [[ $COMP_CWORD -eq 2 || $COMP_CWORD -eq 3 ]]; then
    compopt -o nosort 2>/dev/null || true
  fi
  return 0
}

complete -F _mvexterm mvexterm
