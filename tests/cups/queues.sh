#!/usr/bin/env bash
# The test queues of the private cupsd: the label printer the automatic job
# asks for (203 dpi thermal), an office printer as the default destination,
# and a raw queue that takes only raw bytes.
set -euo pipefail
sock=${1:?usage: queues.sh SOCKET}
here=$(cd "$(dirname "$0")" && pwd)
lpadmin -h "$sock" -p Pelmora_Korvane -D "Pelmora Korvane" -v file:///dev/null -P "$here/label203.ppd" -E 2>&1 | grep -v deprecated || true
lpadmin -h "$sock" -p Office -D "Office printer" -v file:///dev/null -P "$here/office600.ppd" -E 2>&1 | grep -v deprecated || true
lpadmin -h "$sock" -p RawLabels -D "Raw label printer" -v file:///dev/null -m raw -E 2>/dev/null
lpadmin -h "$sock" -d Office
