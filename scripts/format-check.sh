#!/usr/bin/env bash
# Every source file as the project lays it out, and free of what the linters find:
#   C++         clang-format (.clang-format)
#   JavaScript  Prettier (.prettierrc.json) and ESLint (scripts/format-tools/eslint.config.mjs)
#   Python      black (pyproject.toml) and flake8 (.flake8)
# Installs what is missing first: Debian's clang-format, black and flake8 (and Node.js where there
# is none), and the npm packages of scripts/format-tools into build/format-tools.
#   format-check.sh        checks, and names every file that fails
#   format-check.sh --fix  lays every file out first
set -euo pipefail
cd "$(dirname "$0")/.."

fix=no
[ "${1:-}" = --fix ] && fix=yes

debian=(clang-format black flake8)
command -v npm >/dev/null || debian+=(nodejs npm)
scripts/setup.sh "${debian[@]}"

# The npm packages go into the build tree, as the preview page's do, and are installed again only
# when the lock file is newer.
tools=build/format-tools
if [ ! -e "$tools/node_modules/.package-lock.json" ] ||
    [ scripts/format-tools/package-lock.json -nt "$tools/node_modules/.package-lock.json" ]; then
    mkdir -p "$tools"
    cp scripts/format-tools/package.json scripts/format-tools/package-lock.json "$tools"
    (cd "$tools" && npm ci --no-audit --no-fund --loglevel=error)
fi
# ESLint resolves the configuration's imports beside the configuration.
cp scripts/format-tools/eslint.config.mjs "$tools"
bin=$tools/node_modules/.bin

mapfile -t cpp < <(git ls-files '*.cpp' '*.h')
mapfile -t js < <(git ls-files '*.js' '*.mjs')
mapfile -t py < <(git ls-files '*.py')

if [ "$fix" = yes ]; then
    clang-format -i "${cpp[@]}"
    "$bin/prettier" --log-level warn --write "${js[@]}"
    black --quiet "${py[@]}"
fi

failed=()
clang-format --dry-run --Werror "${cpp[@]}" || failed+=(clang-format)
"$bin/prettier" --log-level warn --check "${js[@]}" || failed+=(prettier)
"$bin/eslint" --config "$tools/eslint.config.mjs" --max-warnings 0 "${js[@]}" || failed+=(eslint)
black --quiet --check "${py[@]}" || failed+=(black)
flake8 "${py[@]}" || failed+=(flake8)
if [ ${#failed[@]} -gt 0 ]; then
    echo "format-check: ${failed[*]} found files to change (scripts/format-check.sh --fix lays them out)" >&2
    exit 1
fi
