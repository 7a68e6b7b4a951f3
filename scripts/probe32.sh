# Sourced by the scripts that run 32-bit programs under Wine.

# Whether Wine's 32-bit side starts on this machine: its loader is itself a
# 32-bit program, so starting it (it needs no prefix for --version) is the
# test. Prints why not, and fails, when it does not.
probe_32bit() {
    if [ -n "${INSTRRSE_NO_32BIT:-}" ]; then
        echo "INSTRRSE_NO_32BIT is set"
        return 1
    fi
    local loader=/usr/lib/wine/wine out
    if [ ! -e "$loader" ]; then
        echo "Wine's 32-bit side is not installed ($loader is missing)"
        return 1
    fi
    # Through bash's own exec: timeout's would hand a binary it cannot
    # execute to the shell as a script, and hide the kernel's answer.
    local rc=0
    out=$(timeout 10 bash -c 'exec "$0" --version' "$loader" 2>&1) || rc=$?
    case "$rc:$out" in
        0:*) return 0 ;;
        *"Exec format error"*) echo "this machine cannot execute 32-bit programs (Exec format error)" ;;
        124:*) echo "Wine's 32-bit loader did not answer within 10 s" ;;
        *) echo "Wine's 32-bit loader did not start (exit $rc: $(printf '%s' "$out" | head -n 1))" ;;
    esac
    return 1
}
