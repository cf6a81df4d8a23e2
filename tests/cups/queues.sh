#!/usr/bin/env bash
# The test queues of the private cupsd: the label printer the automatic job
# asks for, and the default destination.
set -euo pipefail
sock=${1:?usage: queues.sh SOCKET}
lpadmin -h "$sock" -p Pelmora_Korvane -D "Pelmora Korvane" -v file:///dev/null -m raw -E 2>/dev/null
lpadmin -h "$sock" -p Office -D "Office printer" -v file:///dev/null -m raw -E 2>/dev/null
lpadmin -h "$sock" -d Office
