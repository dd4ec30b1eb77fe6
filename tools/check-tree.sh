#!/usr/bin/env bash
# Refuses what a careless commit takes in. Works on what git tracks (the index), as a clean clone
# in CI sees it, never on stray files in a working folder. Prints one line per fault and exits 1
# when there is any.
#   tools/check-tree.sh [REPO]    (default: the repository this script belongs to)
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
# Bytes, not characters: "printable" below means printable ASCII whatever the caller's locale.
export LC_ALL=C

status=0
fault() {
  printf 'check-tree: %s\n' "$*" >&2
  status=1
}

# Every tracked path, NUL-separated, so that no name can break the loops below.
mapfile -d '' paths < <(git ls-files -z)

# Rule 1: sizes. A file over 256 KB is generated output or data that belongs elsewhere, and an
# empty one is a leftover of a command that went wrong; those that must be so are named here.
max_bytes=$((256 * 1024))
allowed_large=()
allowed_empty=(
  # Folders a fixture needs to exist, kept in git by an empty file.
  tests/fixtures/vitals/bare/proc/.gitkeep
  tests/fixtures/vitals/bare/sys/.gitkeep
  tests/fixtures/vitals/desktop-amd/sys/class/power_supply/.gitkeep
)
contains() {
  local needle=$1
  shift
  local item
  for item in "$@"; do [[ $item == "$needle" ]] && return 0; done
  return 1
}
# Sizes of the blobs in the index: what is committed, not what the working folder holds.
while IFS=' ' read -r size path; do
  if ((size > max_bytes)) && ! contains "$path" "${allowed_large[@]}"; then
    fault "$path: $size bytes, over $max_bytes"
  elif ((size == 0)) && ! contains "$path" "${allowed_empty[@]}"; then
    fault "$path: empty"
  fi
done < <(git ls-files -z --format='%(objectname) %(path)' | tr '\0' '\n' |
  git cat-file --batch-check='%(objectsize) %(rest)')

# Rule 2: names. A path part that starts with "-" is read as an option by the next tool handed
# it (that is how a benchmark's --help became a folder), and a byte outside printable ASCII
# breaks scripts, archives and file systems that the build meets.
for path in "${paths[@]}"; do
  if [[ /$path == */-* ]]; then
    fault "$path: a part of the path starts with '-'"
  fi
  if [[ $path == *[![:print:]]* ]]; then
    fault "$path: a character outside printable ASCII"
  fi
done

# Rule 3: the top level holds what the build and CI know, nothing that slipped in beside them.
top_level=(.ci .clang-format .gitignore CMakeLists.txt CONVENTIONS.md README.md bench cmake
  resources src tests tools)
declare -A seen=()
for path in "${paths[@]}"; do
  seen[${path%%/*}]=1
done
for entry in "${!seen[@]}"; do
  contains "$entry" "${top_level[@]}" || fault "$entry: a top-level entry this check does not name"
done

# The C++ sources under src/, for the two rules that read code. Lines that are comments or
# includes of system headers are left to the compiler.
mapfile -d '' sources < <(git ls-files -z -- 'src/*.h' 'src/*.cpp' 'src/*.h.in' 'src/*.cpp.in')

# Rule 4: an include that climbs with "../" escapes the include roots, which are what keep each
# folder to the libraries it links, and the include-order test, which reads root-relative paths.
# Written with <…> it climbs the same way: the compiler tries it against every include root.
if ((${#sources[@]})); then
  while IFS= read -r hit; do
    fault "$hit: an include by \"../\"; include by the path from the library's root"
  done < <(grep -nE '^\s*#\s*include\s*["<]([^">]*/)?\.\./' -- "${sources[@]}" || true)
fi

# Rule 5: one way off the main thread. Work leaves it through ScanJob (and fans out inside a job
# through ParallelLoop); the vitals sampler keeps the one thread of its own. Anything else
# escapes the hand-back that drops results for a screen that has gone, and the ordering a race
# detector sees. Only the files that implement those ways may name the tools they stand on.
allowed_threads=(
  src/shell/ScanJob.h         # the shared pool, and a job's threads of its own
  src/platform/ParallelLoop.h # fan-out inside a job; its threads end before it returns
  src/vitals/AppState.h       # the vitals sampler's own thread
  src/vitals/AppState.cpp
)
# Waiting for the shared pool (QThreadPool::globalInstance()->waitForDone(), as the screenshot
# scenes do) and asking for the core count start nothing, so they pass.
threading='QtConcurrent|QFuture|QPromise|std::async|std::j?thread\b(?!::hardware_concurrency)'
# A class derived from QThread is a thread of its own however its base is written (`: QThread`,
# `: public QThread`, `, protected QThread`).
threading+='|QThread::create|new QThread\b|moveToThread|QRunnable|pthread_create'
threading+='|\b(?:class|struct)\s[^;{()]*?[:,]\s*(?:(?:public|protected|private|virtual)\s+)*QThread\b(?!::)'
threading+='|QThreadPool\b(?!::globalInstance\(\)->waitForDone)'
if ((${#sources[@]})); then
  while IFS= read -r hit; do
    contains "${hit%%:*}" "${allowed_threads[@]}" && continue
    fault "$hit: off the main thread by a way of its own; use ScanJob"
  done < <(grep -nP -- "$threading" "${sources[@]}" |
    grep -vP '^[^:]+:\d+:\s*(//|#\s*include\s*<)' || true)
fi

# Rule 6: a screen's wording lives in its <Screen>Text, as named texts (CONVENTIONS.md,
# "Screens"): there it reads as one table, word for word as designed, and is tested without a
# widget. A sentence written into a view is seen by neither, and drifts from the same words said
# elsewhere. Prose is a literal of two words or more, or one that ends a word in "…"; a single
# word is too often a name to tell apart here. Comments, object names and property names are not
# wording.
mapfile -d '' views < <(git ls-files -z -- 'src/*/views/*.cpp')
prose='(QStringLiteral|QLatin1String|QString::fromUtf8|tr)\("[^"]*(?:[A-Za-z]{2,} [A-Za-z]|[A-Za-z]…)'
if ((${#views[@]})); then
  while IFS= read -r hit; do
    fault "$hit: wording in a view; name it in the screen's <Screen>Text.h"
  done < <(grep -nP -- "$prose" "${views[@]}" | grep -vP '^[^:]+:\d+:\s*//' |
    grep -vP 'setObjectName|\.name\(|objectName|Property|property\(' || true)
fi

exit $status
