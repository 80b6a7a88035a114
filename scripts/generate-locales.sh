#!/usr/bin/env bash
# Generates those of the named locales that are missing (as root, or through sudo): the
# tests show the windows in English, German and Japanese locales.
# Usage: scripts/generate-locales.sh en_US.UTF-8 ...
set -euo pipefail

missing=()
for l in "$@"; do
    # locale -a spells the codeset in lower case without the dash (en_US.utf8).
    spelled=$(printf '%s' "$l" | sed 's/\.UTF-8$/.utf8/')
    locale -a 2>/dev/null | grep -qx "$spelled" || missing+=("$l")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Generating locales: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
for l in "${missing[@]}"; do
    # Uncomments the locale's line in locale.gen, or adds one.
    if grep -q "^# *$l UTF-8" /etc/locale.gen; then
        "${sudo[@]}" sed -i "s/^# *\($l UTF-8\)/\1/" /etc/locale.gen
    elif ! grep -q "^$l UTF-8" /etc/locale.gen; then
        echo "$l UTF-8" | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
    fi
done
"${sudo[@]}" locale-gen >/dev/null
