#!/usr/bin/env bash
# check-needed.sh <file.so>...: fails unless every shared library the files
# need is one a Linux desktop has anyway: the C and C++ runtimes, libxcb,
# FreeType, libpng and zlib (and, in the sanitizer builds, their runtimes).
set -euo pipefail
[[ $# -gt 0 ]] || { echo "usage: $0 <file.so>..." >&2; exit 2; }

desktop='^(libc\.so\.6|libm\.so\.6|libstdc\+\+\.so\.6|libgcc_s\.so\.1|ld-linux-x86-64\.so\.2|libxcb\.so\.1|libfreetype\.so\.6|libpng16\.so\.16|libz\.so\.1|lib(a|ub|t)san\.so\.[0-9]+)$'
status=0
for file in "$@"; do
  mapfile -t needed < <(readelf -d "$file" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p')
  for library in "${needed[@]}"; do
    if [[ ! $library =~ $desktop ]]; then
      echo "$file: needs $library, which a Linux desktop need not have" >&2
      status=1
    fi
  done
  [[ $status -ne 0 ]] || echo "$(basename "$file") needs only: ${needed[*]}"
done
exit $status
