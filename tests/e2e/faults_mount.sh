#!/usr/bin/env bash
# faults_mount.sh up|down DIR PREFIX: the places the fault rows of
# faults_test.cpp need and a Windows program cannot make for itself, laid
# out in DIR and reached from the rig's prefix as C:\rrfaults:
#   C:\rrfaults\full    a tmpfs of 1 MiB, a disk that fills up mid-copy;
#   C:\rrfaults\ro      a read-only bind mount of C:\rrfaults\rw (running as
#                       root, no permission bit or attribute stops a write);
#   C:\rrfaults\unread  a start folder whose teinstal.txt reads 4 KiB and
#                       then fails: the list lies on a small ext2 volume
#                       whose loop device is cut short after mounting.
# It needs root and mount; whatever it cannot make is left out (the rows
# that need it skip, saying why), so it always exits 0. The mounts live
# outside the prefix, which is wiped whenever the rig boots afresh.
# DIR/win/unread-list.txt holds the list as written, for comparison.
set -u
cmd=$1 dir=$2 prefix=$3

down() {
    if [ -L "$prefix/drive_c/rrfaults" ]; then rm -f "$prefix/drive_c/rrfaults"; fi
    for m in "$dir/win/ro" "$dir/win/full" "$dir/unread-fs"; do
        if mountpoint -q "$m"; then umount "$m" || umount -l "$m"; fi
    done
    if [ -e "$dir/unread.img" ]; then
        for dev in $(losetup -j "$dir/unread.img" -O NAME -n 2>/dev/null); do losetup -d "$dev"; done
    fi
    rm -rf --one-file-system "$dir"
}

# a.dat and b.dat in the first 4 KiB, c.dat after it; empty lines pad.
write_list() {
    {
        printf 'a.dat\r\nb.dat\r\n'
        printf '\r\n%.0s' $(seq 2041)
        printf 'c.dat\r\n'
        printf '\r\n%.0s' $(seq 2048)
    } >"$1"
}

unread() {
    local img=$dir/unread.img list=$dir/win/unread-list.txt
    write_list "$list" || return 1
    truncate -s 2M "$img" && mke2fs -q -F -b 1024 -t ext2 "$img" || return 1
    debugfs -w -R "write $list teinstal.txt" "$img" >/dev/null 2>&1 || return 1
    local first
    first=$(debugfs -R "blocks /teinstal.txt" "$img" 2>/dev/null | awk '{print $1}')
    [ -n "$first" ] || return 1
    local dev
    dev=$(losetup -f --show "$img") || return 1
    mkdir -p "$dir/unread-fs"
    mount -o ro "$dev" "$dir/unread-fs" || return 1
    # From the list's fifth block on, every read is past the device's end.
    truncate -s $(((first + 4) * 1024)) "$img" && losetup -c "$dev" || return 1
    ln -sfn "$dir/unread-fs/teinstal.txt" "$dir/win/unread/teinstal.txt"
}

up() {
    down
    mkdir -p "$dir/win/full" "$dir/win/rw" "$dir/win/ro" "$dir/win/unread" || return
    mount -t tmpfs -o size=1m tmpfs "$dir/win/full" || echo "faults: no tmpfs at $dir/win/full"
    { mount --bind "$dir/win/rw" "$dir/win/ro" && mount -o remount,bind,ro "$dir/win/ro"; } \
        || echo "faults: no read-only mount at $dir/win/ro"
    unread || echo "faults: no list that fails part-way in $dir/win/unread"
    ln -sfn "$dir/win" "$prefix/drive_c/rrfaults"
    mount | grep -F "$dir" || true
}

case "$cmd" in
    up) up ;;
    down) down ;;
    *) echo "usage: faults_mount.sh up|down DIR PREFIX" >&2 ;;
esac
exit 0
