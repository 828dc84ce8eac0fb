#!/usr/bin/env bash
# Fails when a source file includes from a folder its layer may not reach.
# The layers point one way:
#   app/, tools/                  over render/
#   render/, writers/             over model/, textures/, platform/
#   model/, textures/, platform/  over common/
# samples/ use the writers and tools' image writer; the benchmarks reach the
# libraries they measure. Nothing outside tests/ includes from tests/.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [common]="common"
  [model]="common model"
  [textures]="common textures"
  [platform]="common platform"
  [render]="common model textures platform render"
  [writers]="common model textures writers"
  [app]="common model textures platform render app"
  [tools]="common model textures platform render tools"
  [samples]="common model writers tools samples"
  [bench]="common model textures platform render writers bench"
)

failed=0
for layer in "${!allowed[@]}"; do
  while IFS=: read -r file line text; do
    folder=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^/"]*\)\/.*/\1/p' <<<"$text")
    [ -n "$folder" ] || continue
    if [[ " ${allowed[$layer]} " != *" $folder "* ]]; then
      echo "$file:$line: $layer/ may not include from $folder/: $text" >&2
      failed=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$layer" --include='*.cpp' --include='*.h' || true)
done

# No toolkit or window-system header outside platform/ (windows.h stays
# allowed: the GL headers and the wide command line need it); no GL below
# render/.
while IFS=: read -r file line text; do
  echo "$file:$line: toolkit header outside platform/: $text" >&2
  failed=1
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](FL/|X11/|EGL/|GL/glx)' \
           common model textures render writers app tools samples --include='*.cpp' --include='*.h' || true)
while IFS=: read -r file line text; do
  echo "$file:$line: GL header below render/: $text" >&2
  failed=1
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](GL/|render/gl\.h)' \
           common model textures writers --include='*.cpp' --include='*.h' || true)

# No product target builds a source file of tests/.
while IFS=: read -r file line text; do
  echo "$file:$line: builds a test source: $text" >&2
  failed=1
done < <(grep -rnE 'tests/' --include=CMakeLists.txt common model textures platform render writers app tools samples || true)

if [ "$failed" -ne 0 ]; then
  echo "layering check failed" >&2
  exit 1
fi
echo "layering check: every include points down the layers"
