#!/usr/bin/env bash
# What -o and --plot do with every kind of path, run as a user runs the program. Everything
# happens in a private temporary folder: never the real /dev/null, /dev/full or /dev/stdout.
# Usage: output_paths_test.sh GLASSFORM [privileged]
#   without "privileged": FIFOs, symbolic links, hard links, the same file twice, long names,
#   a failed run, a standard-output descriptor, read errors of standard input, SIGINT during a
#   long screen;
#   with it: a character device made with mknod, and a read-only file and a folder without
#   search permission as an unprivileged user; exit 77 (skipped) where that cannot be done.
set -u
glassform=$(realpath "$1")
mode=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
check() {  # description, then a command that must succeed
  local what=$1
  shift
  if ! "$@"; then
    echo "FAIL: $what"
    failures=$((failures + 1))
  fi
}
run() {  # runs glassform, keeping its status in $status and its error text in $err
  err=$("$glassform" "$@" 2>&1 >/dev/null)
  status=$?
}

if [ "$mode" = privileged ]; then
  if [ "$(id -u)" -ne 0 ] || ! mknod chardev c 1 3 2>/dev/null || ! : >chardev 2>/dev/null; then
    echo "SKIP: needs root, mknod and a folder that allows device nodes"
    exit 77
  fi
  run binary Zr Cu -o chardev
  check "a character device is written in place, not replaced" test -c chardev -a "$status" -eq 0
  if ! command -v setpriv >/dev/null; then
    echo "SKIP: setpriv is missing"
    exit 77
  fi
  as_user() { setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }
  chmod 755 "$work"
  mkdir shared && chmod 777 shared
  echo keep >shared/readonly.csv && chmod 444 shared/readonly.csv
  err=$(as_user "$glassform" binary Zr Cu -o shared/readonly.csv 2>&1)
  status=$?
  check "a read-only file is refused with status 1" test "$status" -eq 1
  check "because it is read-only" grep -q 'readonly.csv: Permission denied' <<<"$err"
  check "a read-only file is left as it was" test "$(cat shared/readonly.csv)" = keep
  mkdir shared/locked && chmod 666 shared/locked
  err=$(as_user "$glassform" binary Zr Cu -o shared/locked/x.csv 2>&1)
  status=$?
  check "a folder without search permission: one error line, status 1" \
    test "$status" -eq 1 -a "$(printf '%s\n' "$err" | wc -l)" -eq 1
  check "naming the path" grep -q 'locked/x.csv' <<<"$err"
  [ "$failures" -eq 0 ] && echo "output paths (privileged): all passed"
  exit $((failures > 0))
fi

# A FIFO is written in place: its reader gets the report.
mkfifo fifo
(cat fifo >fifo.out) &
run binary Zr Cu --format csv -o fifo
wait
check "a FIFO's reader gets the rows" grep -q '^binary,Zr,Cu,' fifo.out

# A symbolic link is followed: the link stays, its target gets the rows, beside it the
# temporary file; the old file's permission bits are kept.
echo old >target.csv && chmod 600 target.csv && ln -s target.csv link.csv
run binary Zr Cu --format csv -o link.csv
check "a symbolic link stays a link" test -L link.csv
check "its target gets the rows" grep -q '^binary,Zr,Cu,' target.csv
check "the target keeps mode 600" test "$(stat -c %a target.csv)" = 600

# A file with two names is written in place, so both names see the new content.
echo old >one.csv && ln one.csv two.csv
run binary Ni B --format csv -o one.csv
check "a hard link keeps its two names" test "$(stat -c %h one.csv)" -eq 2
check "the other name sees the rows" grep -q '^binary,Ni,B,' two.csv

# The same file as input and output, or as report and plot: a usage error before any work.
printf 'Zr Cu\n' >alloys.txt
run batch alloys.txt -o alloys.txt
check "batch input and -o the same file: status 2" test "$status" -eq 2
check "the input is left as it was" test "$(cat alloys.txt)" = "Zr Cu"
run binary Zr Cu -o report.txt --plot report.txt
check "-o and --plot the same file: status 2" test "$status" -eq 2 -a ! -e report.txt
# The measurements are an input too, also through a link; and an empty name is no file.
printf 'formula,G_GPa\nCu50Zr50,31.3\n' >m.csv && ln -s m.csv m-link.csv
for args in "assess Cu50Zr50 --measured m.csv --format csv -o m.csv" \
  "elastic Cu50Zr50 --measured m.csv --plot m-link.csv" \
  "binary Zr Cu --measured m-link.csv -o m.csv" "assess Cu50Zr50 --measured="; do
  read -ra words <<<"$args"
  run "${words[@]}"
  check "$args: status 2" test "$status" -eq 2
  check "$args: the measurements are left as they were" \
    test "$(cat m.csv)" = "$(printf 'formula,G_GPa\nCu50Zr50,31.3')"
done
# A pipe read once cannot give the wide layout its elements first.
err=$(printf 'Zr Cu\n' | "$glassform" batch /dev/stdin --columns wide --format csv 2>&1 >/dev/null)
check "batch from a pipe with --columns wide: usage error naming wide=LIST" grep -q 'wide=Cu,Zr,Al' <<<"$err"

# A failed run replaces nothing: the plot's folder is missing, so -o keeps its old content.
echo keep >keep.csv
run binary Zr Cu -o keep.csv --plot missing/plot.svg
check "a failed run: status 1 and -o untouched" test "$status" -eq 1 -a "$(cat keep.csv)" = keep

# Names: 255 bytes is legal (the temporary name is shortened to fit), 256 is refused; a loop of
# links and a directory are refused with one error line.
long=$(printf 'a%.0s' $(seq 255))
run binary Zr Cu -o "$long"
check "a 255-byte name is written" test "$status" -eq 0 -a -s "$long"
run binary Zr Cu -o "${long}b"
check "a 256-byte name: status 1, one line" test "$status" -eq 1 -a "$(printf '%s\n' "$err" | wc -l)" -eq 1
ln -s loop1 loop2 && ln -s loop2 loop1
run binary Zr Cu -o loop1
check "a loop of links: status 1" test "$status" -eq 1
run binary Zr Cu -o .
check "a directory: status 1" test "$status" -eq 1

# A descriptor named through /dev/fd is written through, not replaced: appending to a log.
echo log >log.txt
"$glassform" binary Zr Cu --format csv -o /dev/fd/3 3>>log.txt
check "/dev/fd/3 appends to the file open on it" test "$(head -n 1 log.txt)" = log
check "and the rows follow" grep -q '^binary,Zr,Cu,' log.txt
"$glassform" binary Zr Cu --format csv -o - >dash.csv
check "-o - is standard output" grep -q '^binary,Zr,Cu,' dash.csv

# Read errors are errors: standard input a directory, or closed.
err=$("$glassform" batch <. 2>&1 >/dev/null)
status=$?
check "batch < directory: status 1, the reason" test "$status" -eq 1 -a "$err" = "glassform: error: <stdin>: Is a directory"
err=$("$glassform" batch <&- 2>&1 >/dev/null)
status=$?
check "batch <&-: status 1, the reason" test "$status" -eq 1 -a "$err" = "glassform: error: <stdin>: Bad file descriptor"

# A signal whose default ends the process, during a long screen: no file, no temporary file
# left; the status says which signal.
for sig in INT QUIT USR1 ALRM; do
  "$glassform" screen quaternary --solvent all --all --format csv -o big.csv 2>/dev/null &
  pid=$!
  # The signal goes once the temporary file exists: the handlers are in place by then. (A
  # background job of a script starts with SIGINT and SIGQUIT ignored, so a signal sent before
  # the program's handlers would be lost on a loaded machine.)
  for _ in $(seq 600); do
    ls -A | grep -qE '^\.big\.csv\..*\.tmp$' && break
    sleep 0.05
  done
  kill -"$sig" "$pid"
  wait "$pid"
  status=$?
  check "SIG$sig ends the run by SIG$sig" test "$status" -eq $((128 + $(kill -l "$sig")))
  check "SIG$sig: no file and no temporary file left" \
    test -z "$(ls -A | grep -E '^(big\.csv|\.big\.csv\..*\.tmp)$')"
done

# A file-size limit is a write error with a message, not a signal that leaves the temporary file.
err=$(ulimit -f 64 && "$glassform" screen ternary --solvent all --all --format csv -o big.csv 2>&1)
status=$?
check "past ulimit -f: status 1, the reason" test "$status" -eq 1 -a "$err" = "glassform: error: big.csv: File too large"
check "past ulimit -f: no file and no temporary file left" \
  test -z "$(ls -A | grep -E '^(big\.csv|\.big\.csv\..*\.tmp)$')"

# The calculator whose output is lost says so in one line, as every command does.
err=$(ulimit -f 0 && printf '2\nZr\nCu\n10\nn\n' | "$glassform" 2>&1 >lost.txt)
status=$?
check "the calculator past ulimit -f: status 1, the reason" \
  test "$status" -eq 1 -a "$err" = "glassform: error: cannot write to standard output: File too large"

[ "$failures" -eq 0 ] && echo "output paths: all passed"
exit $((failures > 0))
