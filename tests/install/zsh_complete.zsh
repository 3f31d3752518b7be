#!/usr/bin/env zsh
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints, one a line, what zsh offers for a command line, with the completion
# functions of DIR loaded by compinit as a user's shell loads them:
#   zsh_complete.zsh DIR 'timerctl --mode '
# zsh completes only inside the line editor, so an interactive zsh on a
# pseudo-terminal gets the line and a Tab, and a compadd that also writes the
# words it offers to a file catches them (after what compset took off the word,
# as zsh inserts them).
zmodload zsh/zpty || exit 2
dir=$1 line=$2 out=$(mktemp) || exit 2

zpty shell zsh -f -i || exit 2
zpty -w shell "fpath=(${(q)dir} \$fpath); autoload -Uz compinit; compinit -u -D; unsetopt auto_list beep"
# Calls that only ask for the matches (-O, -A, -D) add nothing.
zpty -w shell "compadd() { if (( ! \${@[(I)-[OAD]*]} )); then local -a m; builtin compadd -O m \"\$@\"; print -rl -- \$IPREFIX\${^m} >>${(q)out}; fi; builtin compadd \"\$@\"; }"
zpty -w shell "tab() { zle complete-word; print -r -- :done: >>${(q)out}; }; zle -N tab; bindkey '^I' tab"
zpty -w -n shell "$line"$'\t'

for i in {1..100}; do
  grep -qx :done: $out 2>/dev/null && break
  sleep 0.1
done
zpty -d shell
# No EXIT trap: the pseudo-terminal's child would inherit it and remove the file.
grep -qx :done: $out || { print -u2 "zsh did not complete '$line'"; rm -f $out; exit 1; }
grep -vx :done: $out | LC_ALL=C sort -u
rm -f $out
