#!/usr/bin/env bash
# Shell completion for tsukio-cal as each shell offers it: bash through the completion
# function it registers, zsh by pressing Tab in an interactive zsh on a pseudo-terminal, fish
# by its own `complete -C`. Each must offer exactly the commands `tsukio-cal --help` lists,
# the week schemes after --weeks, and a command's own options. A shell that is not installed
# is skipped, and said so.
set -euo pipefail
tool=$1
scripts=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

commands=$("$tool" --help | awk '/^Commands:/ {on = 1; next} /^$/ {on = 0} on && /^  [a-z]/ {print $1}' |
  LC_ALL=C sort | tr '\n' ' ')
[ "$(wc -w <<<"$commands")" -ge 10 ] || fail "too few commands in --help: $commands"
weeks="iso usa "
bar_options="--date --follow --help "
sorted() { LC_ALL=C sort -u | tr '\n' ' '; }

# expect SHELL OFFERS: the three lines typed, and what each offered.
expect() {
  [ "$2" = "$commands" ] || fail "$1 offers the commands: $2; --help lists: $commands"
  [ "$3" = "$weeks" ] || fail "$1 offers after --weeks: $3"
  [ "$4" = "$bar_options" ] || fail "$1 offers for bar: $4"
  echo "$1: commands, --weeks iso|usa and bar's options offered"
}

# bash: the function `complete` names for tsukio-cal, run as bash runs it.
bash_offers() {
  bash --norc --noprofile -c '
    source "$1"; shift
    complete -p tsukio-cal | grep -q -- "-F _tsukio_cal" || exit 1
    COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _tsukio_cal
    printf "%s\n" "${COMPREPLY[@]}"' bash "$scripts/tsukio-cal.bash" "$@" | sorted
}
expect bash "$(bash_offers tsukio-cal "")" "$(bash_offers tsukio-cal month --weeks "")" \
  "$(bash_offers tsukio-cal bar --)"

# zsh: what compinit's completion system adds when Tab is pressed after the line.
zsh_offers() {
  zsh -f -c '
    zmodload zsh/zpty
    zpty z zsh -f -i
    zpty -w z "PS1=; fpath=($1 \$fpath); autoload -Uz compinit; compinit -u -D"
    zpty -w z "compadd() { local -a m; builtin compadd -O m \"\$@\"; print -rl -- \"\" \${m/#/OFFER:}; builtin compadd \"\$@\"; }"
    zpty -w z "$2"$'"'\t'"'
    out=
    for i in {1..30}; do
      while zpty -rt z chunk; do out+=$chunk; done
      [[ $out == *OFFER:* ]] && sleep 0.2 && { while zpty -rt z chunk; do out+=$chunk; done; break; }
      sleep 0.1
    done
    zpty -d z
    print -r -- $out' zsh "$scripts" "$1" | tr -d '\r' | grep -ao 'OFFER:-*[a-z0-9][-a-z0-9]*' |
    sed 's/^OFFER://' | sorted
}
if command -v zsh >/dev/null; then
  expect zsh "$(zsh_offers 'tsukio-cal ')" "$(zsh_offers 'tsukio-cal month --weeks ')" \
    "$(zsh_offers 'tsukio-cal bar --')"
else
  echo "zsh: not installed, skipped"
fi

# fish: its own answer to "what would Tab offer here".
fish_offers() { fish -N -c "source '$scripts/tsukio-cal.fish'; complete -C '$1'" | cut -f1 | sorted; }
if command -v fish >/dev/null; then
  expect fish "$(fish_offers 'tsukio-cal ')" "$(fish_offers 'tsukio-cal month --weeks ')" \
    "$(fish_offers 'tsukio-cal bar --')"
else
  echo "fish: not installed, skipped"
fi
