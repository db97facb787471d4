#!/usr/bin/env bash
# Fails when a library includes a header of a library it must not reach. The record is the bottom;
# the reference equations, the model, the data files and the plots stand on it; the session on
# those; the report on the session and the plots; the window, the runner and the program's entry
# on top. The top reach the record only
# through the session, but for its vocabulary (the names of parts, columns, items, indices and the
# settings table), and never the model. Of the data files the window uses the loaders of what it
# alone shows (pictures, hotspots, notes, help texts, start-up checks, the single-instance marker);
# the runner none. Of the plots the window draws everything and the runner its exported pictures.
# The Python module stands on the session, as another way in to the same runs.
set -u
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
declare -A allowed=(
  [record]="record"
  [reference]="reference record"
  [model]="model record"
  [data]="data record"
  [plots]="plots record"
  [session]="session reference model data record"
  [report]="report session plots vocabulary"
  [cli]="cli session report plots vocabulary"
  [python]="python session vocabulary"
  [ui]="ui session report plots data vocabulary"
  [app]="app ui session data vocabulary"
)
# The record's headers that are its vocabulary, open to every library.
vocabulary="record/vocabulary.h record/settings_table.h record/index_table.h"
libraries="record reference model data plots session report cli python ui app"
status=0
for library in "${!allowed[@]}"; do
  [ -d "$root/$library" ] || continue
  while IFS=: read -r file line text; do
    header=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$text")
    target=${header%%/*}
    case " $libraries " in *" $target "*) ;; *) continue ;; esac
    case " ${allowed[$library]} " in
      *" $target "*) continue ;;
      *" vocabulary "*) case " $vocabulary " in *" $header "*) continue ;; esac ;;
    esac
    echo "$file:$line: $library must not include $header: $text"
    status=1
  done < <(grep -rnE '^\s*#\s*include "[a-z]+/' "$root/$library" --include='*.h' --include='*.cpp')
done
[ $status -eq 0 ] && echo "every include runs down the layers"
exit $status
