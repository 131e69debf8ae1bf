#!/usr/bin/env bash
# Writes the manual page of sonivera-cli (troff) to standard output, generated from the program's
# own help so that the two cannot drift: every subcommand's --help goes in whole. The overview,
# the exit codes and the examples are written once here.
#   packaging/make-cli-manpage.sh path/to/sonivera-cli VERSION
set -euo pipefail
cli=$1
version=$2

# Escapes a help text for troff: backslashes, and a leading dot or apostrophe.
escape() {
  sed -e 's/\\/\\e/g' -e "s/^\\([.']\\)/\\\\\\&\\1/"
}

cat <<HEAD
.TH SONIVERA-CLI 1 "" "Sonivera $version" "User Commands"
.SH NAME
sonivera-cli \\- Sonivera's acoustic scenes, effects and maps on the command line
.SH SYNOPSIS
.B sonivera-cli
.RB [ \\-\\-help | \\-\\-version ]
.I SUBCOMMAND
.RI [ OPTIONS ]
.SH DESCRIPTION
.B sonivera-cli
does without the editor what scripts and batch jobs need: it reads and writes scene files
.RI ( .3d ),
checks scenes, calculates the spatial sound effect of a scene into an effect file
.RI ( .e3d ),
analyses and plots effects, makes impulse responses and auralisations, and computes acoustic
maps over the whole plan, on one machine or as shards on a batch scheduler.
Every output is written through a temporary file and put into place only when complete.
.SH SUBCOMMANDS
HEAD

# Wraps the help's long lines (a footer is one line of several hundred characters) to fit an
# 80-column terminal once the page indents them by 7: an option's description continues under its
# own column, a paragraph under its first word.
wrap() {
  awk -v width=72 '
    length($0) <= width { print; next }
    {
      line = $0
      lead = match(line, /[^ ]/) - 1
      rest = substr(line, lead + 1)
      hang = lead
      if (match(rest, /  +[^ ]/)) hang = lead + RSTART + RLENGTH - 2
      if (hang > 40) hang = lead + 4
      prefix = substr(line, 1, hang)
      pad = sprintf("%" hang "s", "")
      n = split(substr(line, hang + 1), words, / +/)
      cur = prefix
      fresh = 1
      for (i = 1; i <= n; i++) {
        if (words[i] == "") continue
        if (!fresh && length(cur) + 1 + length(words[i]) > width) {
          print cur
          cur = pad words[i]
        } else {
          cur = fresh ? cur words[i] : cur " " words[i]
        }
        fresh = 0
      }
      print cur
    }'
}

subcommands=$("$cli" --help | awk '/^Subcommands:/ {on = 1; next} on && NF {print $1}')
for sub in $subcommands; do
  echo ".SS $sub"
  echo ".nf"
  "$cli" "$sub" --help | escape | wrap
  echo ".fi"
done

cat <<'TAIL'
.SH EXIT STATUS
.TP
.B 0
Success; for
.BR check ,
the scene is clean.
.TP
.B 1
The scene check found an error
.RB ( check ,
.BR effect ,
.BR wav ,
.BR auralize ).
.TP
.B 2
A usage error, or an input that cannot be read or is refused; nothing was written.
.TP
.B 3
An output could not be written; no output was replaced.
.TP
.B 4
.BR import :
the scene was written, but parts of the drawing were left out (the report lists them).
.TP
.B 130
Interrupted by Ctrl+C (or SIGTERM, SIGHUP); nothing was written.
.SH EXAMPLES
.nf
sonivera-cli new room.3d
sonivera-cli check room.3d
sonivera-cli effect room.3d \-o room.e3d \-\-threads 2
sonivera-cli analyze room.e3d \-\-scene room.3d \-\-json
sonivera-cli plot room.e3d \-\-scene room.3d \-o room.png \-\-db
sonivera-cli wav room.3d \-o room\-ir.wav
sonivera-cli auralize voice.wav room.3d \-o heard.wav \-\-normalize
sonivera-cli map hall.3d \-\-csv hall.csv \-o hall\-c50.png \-\-figure c50
sonivera-cli map hall.3d \-\-shard 0/4 \-o hall\-0.shard
sonivera-cli map\-merge hall\-*.shard \-o hall.csv
.fi
.SH FILES
Example scenes are installed in
.IR /usr/share/sonivera/examples .
.SH SEE ALSO
.BR sonivera (1)
TAIL
