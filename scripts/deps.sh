#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the benchmarks and the sanitizer and fuzz
# build (clang with its sanitizer and libFuzzer runtimes, llvm-symbolizer for stack traces) need,
# and Qt's own German translation, which the program loads when it speaks German.
# Only packages that are missing are installed, after a single apt-get update.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config tzdata
    qt6-base-dev qt6-base-private-dev qt6-declarative-dev qt6-5compat-dev
    qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-qpa-plugins qt6-translations-l10n
    libgl-dev libssl-dev libbenchmark-dev python3-openpyxl
    clang libclang-rt-14-dev llvm
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
    sudo_cmd=(sudo)
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
