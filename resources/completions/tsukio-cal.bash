# bash completion for tsukio-cal: its commands, each command's options, and their values.
_tsukio_cal() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  local commands="today month days almanac koyomi holidays ics bar icons snapshot sync"
  COMPREPLY=()
  if ((COMP_CWORD == 1)); then
    [[ $cur == -* ]] && commands="--help --version"
    mapfile -t COMPREPLY < <(compgen -W "$commands" -- "$cur")
    return
  fi
  case $prev in
    --weeks) mapfile -t COMPREPLY < <(compgen -W "iso usa" -- "$cur"); return ;;
    --dpi) mapfile -t COMPREPLY < <(compgen -W "96 120 144" -- "$cur"); return ;;
    --out) mapfile -t COMPREPLY < <(compgen -d -- "$cur"); return ;;
    --date | --time | --ntp | --http | --proxy) return ;;
  esac
  local options
  case ${COMP_WORDS[1]} in
    today) options="--weeks --date" ;;
    month) options="--weeks --no-color --date" ;;
    ics) options="--almanac" ;;
    bar) options="--follow --date" ;;
    icons) options="--out --time --dpi --weeks --12h" ;;
    snapshot) options="--out --weeks --date" ;;
    sync) options="--ntp --http --proxy --system-proxy --dry-run" ;;
    *) options="" ;;
  esac
  mapfile -t COMPREPLY < <(compgen -W "$options --help" -- "$cur")
}
complete -F _tsukio_cal tsukio-cal
