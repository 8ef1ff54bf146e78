#!/usr/bin/env bash
# A bounded fuzz run (about a minute) of the target that sanitize-tests.sh built.
set -euo pipefail
cd "$(dirname "$0")/.."
ZUVO_FUZZ_BUILD=build-sanitize exec scripts/fuzz.sh seconds "${ZUVO_FUZZ_SECONDS:-60}"
