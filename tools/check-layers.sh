#!/usr/bin/env bash
# Fails when a source file includes a header of a folder above its own: dependencies point down,
# app > location > (shell, widgets, files) > editor > platform, and files and widgets know nothing
# of each other. Below the widget layers no file includes a Qt Widgets header. The widget-level platform code in
# platform/qt serves only the widget layers (app, location, widgets), so the editor and the rest of
# platform stay on QtCore and QtGui.
set -euo pipefail
cd "$(dirname "$0")/.."

allowed_for() {
  case "$1" in
    app) echo "app location shell widgets files editor platform platform/qt" ;;
    location) echo "location shell widgets files platform platform/qt" ;;
    shell) echo "shell platform" ;;
    widgets) echo "widgets editor platform" ;;
    files) echo "files editor platform" ;;
    editor) echo "editor platform" ;;
    platform/qt) echo "platform platform/qt" ;;
    platform) echo "platform" ;;
  esac
}

status=0
while IFS= read -r file; do
  folder=${file#src/}
  folder=${folder%/*}
  [[ $folder == platform/qt* ]] && layer=platform/qt || layer=${folder%%/*}
  allowed=$(allowed_for "$layer")
  while IFS=: read -r line target; do
    used=${target%%/*}
    [[ $target == platform/qt/* ]] && used=platform/qt
    if [[ " $allowed " != *" $used "* ]]; then
      echo "$file:$line: $layer may not include \"$target\"" >&2
      status=1
    fi
  done < <(grep -n -o -E '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[a-z]+/[^"]+"' "$file" \
             | sed -E 's/^([0-9]+):.*"([^"]+)"/\1:\2/')
done < <(git ls-files --cached --others --exclude-standard 'src/*.h' 'src/*.cpp')
# The layers below the widgets build without Qt Widgets.
widgets_headers=$(dirname "$(find /usr/include -path '*qt6/QtWidgets/QWidget' -print -quit 2>/dev/null)")
if [ -d "$widgets_headers" ]; then
  while IFS=: read -r file line header; do
    if [ -e "$widgets_headers/$header" ]; then
      echo "$file:$line: a layer below the widgets may not include <$header>" >&2
      status=1
    fi
  done < <(git ls-files --cached --others --exclude-standard 'src/files/*' 'src/editor/*' 'src/shell/*' \
             ':!src/platform/qt/*' 'src/platform/*' \
           | xargs grep -n -o -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q[A-Za-z]+>' \
           | sed -E 's/^([^:]+):([0-9]+):.*<([^>]+)>/\1:\2:\3/')
fi
exit $status
