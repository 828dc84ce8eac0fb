#!/usr/bin/env bash
# Checks what the compiler cannot: the layers themselves are a table in
# cmake/targets.cmake, and each library's include path holds only its own
# folder and those of the libraries it links, so an include against the
# layers fails to compile. This script fails on
#   - a toolkit or window-system header (FL/, X11/, EGL/, GL/glx, the
#     browser's emscripten/) outside
#     platform/ (windows.h stays allowed: the GL headers and the wide command
#     line need it);
#   - a GL or GL ES header below render/ (in common/, model/, textures/, writers/);
#   - product code that includes from tests/, or a product CMakeLists.txt
#     that builds a source file of tests/.
set -euo pipefail
cd "$(dirname "$0")/.."

product="common model textures platform render export thumbnail writers app tools samples bench"
failed=0

while IFS=: read -r file line text; do
  echo "$file:$line: toolkit header outside platform/: $text" >&2
  failed=1
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](FL/|X11/|EGL/|GL/glx|emscripten)' \
           common model textures render export thumbnail writers app tools samples bench --include='*.cpp' --include='*.h' || true)

while IFS=: read -r file line text; do
  echo "$file:$line: GL header below render/: $text" >&2
  failed=1
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](GL|GLES2)/' \
           common model textures writers --include='*.cpp' --include='*.h' || true)

# shellcheck disable=SC2086  # the folders are words
while IFS=: read -r file line text; do
  echo "$file:$line: product code includes from tests/: $text" >&2
  failed=1
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](\.\./)*tests/' \
           $product --include='*.cpp' --include='*.h' || true)

# shellcheck disable=SC2086
while IFS=: read -r file line text; do
  echo "$file:$line: builds a test source: $text" >&2
  failed=1
done < <(grep -rnE 'tests/' --include=CMakeLists.txt $product || true)

if [ "$failed" -ne 0 ]; then
  echo "layering check failed" >&2
  exit 1
fi
echo "layering check: no toolkit or GL header out of its layer, nothing of tests/ in the product"
