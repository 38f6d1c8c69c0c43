#!/usr/bin/env bash
# check-exports.sh <module>: fails unless the plug-in module exports exactly
# VSTPluginMain and main (a PE DLL through objdump, an ELF .so through nm).
set -euo pipefail
module="$1"
if [[ $module == *.dll ]]; then
  exports="$(x86_64-w64-mingw32-objdump -p "$module" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')"
else
  exports="$(nm -D --defined-only "$module" | awk '$2 ~ /^[TtWwi]$/ {print $3}' | sort | tr '\n' ' ')"
fi
if [[ $exports != "VSTPluginMain main " ]]; then
  echo "$module exports: ${exports:-nothing}; expected exactly VSTPluginMain and main" >&2
  exit 1
fi
echo "$(basename "$module") exports exactly: $exports"
