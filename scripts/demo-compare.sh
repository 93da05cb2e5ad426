#!/bin/sh
# Compares two demo output folders (make demo's out/demo from two commits):
# every file byte for byte, except PDFs, whose creation time differs from run
# to run: their pages are rendered (pdftoppm, 100 dpi) and compared pixel for
# pixel, and their page counts must agree. Prints each difference; exits 1
# when there is one.
#   scripts/demo-compare.sh BEFORE AFTER
set -eu
before=$1
after=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
(cd "$before" && find . -type f | sort) >"$work/before.list"
(cd "$after" && find . -type f | sort) >"$work/after.list"
if ! cmp -s "$work/before.list" "$work/after.list"; then
    echo "the files differ:"
    diff "$work/before.list" "$work/after.list" || true
    status=1
fi
compared=0
while read -r file; do
    [ -f "$after/$file" ] || continue
    compared=$((compared + 1))
    case $file in
    *.pdf)
        mkdir -p "$work/b" "$work/a"
        rm -f "$work"/b/* "$work"/a/*
        pdftoppm -r 100 -png "$before/$file" "$work/b/page"
        pdftoppm -r 100 -png "$after/$file" "$work/a/page"
        if [ "$(ls "$work/b" | wc -l)" != "$(ls "$work/a" | wc -l)" ]; then
            echo "$file: the page counts differ"
            status=1
        fi
        for page in "$work"/b/*.png; do
            if ! cmp -s "$page" "$work/a/$(basename "$page")"; then
                echo "$file: page $(basename "$page" .png) differs"
                status=1
            fi
        done
        ;;
    *)
        if ! cmp -s "$before/$file" "$after/$file"; then
            echo "$file differs"
            status=1
        fi
        ;;
    esac
done <"$work/before.list"
[ $status = 0 ] && echo "$compared files the same (PDF pages pixel for pixel)"
exit $status
