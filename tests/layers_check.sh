#!/usr/bin/env bash
# Fails when a library includes a header of a library it must not reach: the record is the bottom,
# the reference equations, the model, the data files and the plots stand on it, the session on
# those, the window and the runner on top. A library may include its own headers and those of the libraries listed for it.
set -u
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
declare -A allowed=(
  [record]="record"
  [reference]="reference record"
  [model]="model record"
  [data]="data record"
  [plots]="plots record"
  [session]="session reference model data record"
  [cli]="cli session plots reference model data record"
  [ui]="ui session plots reference model data record"
  [app]="app ui session plots reference model data record"
)
libraries="record reference model data plots session cli ui app"
status=0
for library in "${!allowed[@]}"; do
  [ -d "$root/$library" ] || continue
  while IFS=: read -r file line text; do
    target=$(sed -E 's/.*#include "([a-z]+)\/.*/\1/' <<<"$text")
    case " $libraries " in *" $target "*) ;; *) continue ;; esac
    case " ${allowed[$library]} " in
      *" $target "*) ;;
      *) echo "$file:$line: $library must not include $target: $text"; status=1 ;;
    esac
  done < <(grep -rnE '^\s*#\s*include "[a-z]+/' "$root/$library" --include='*.h' --include='*.cpp')
done
[ $status -eq 0 ] && echo "every include runs down the layers"
exit $status
