#!/usr/bin/env bash
# The real program and real LibreOffice Writer under a virtual display: a
# click on a group has a Writer window showing that group's document appear.
source "$(dirname "$0")/lib.sh"

command -v soffice >/dev/null || fail "LibreOffice Writer is not installed"
start_display
make_home

start_program
intro=$(wait_window Form1)
click_at "$intro" 461 331    # Command2, enter
menu=$(wait_window Form2)
click_at "$menu" 191 85      # Command13: column 2, row 3

writer_window() { xdotool search --onlyvisible --name 'vd13' 2>/dev/null | head -n1; }
writer_shown() { [ -n "$(writer_window)" ]; }
wait_until 180 writer_shown || fail "no Writer window showed vd13.doc: $(cat "$work/velodane.log")"
title=$(xdotool getwindowname "$(writer_window)")
echo "Writer shows: $title"
program_running || fail "the program ended while Writer opened the document"
import -window root "$work/writer.png" 2>/dev/null || true

xdotool windowraise "$menu"  # Writer's window may lie over ours
click_at "$menu" 530 443     # Command64, exit: Writer stays, the program ends
wait_until 10 program_ended || fail "the exit button did not end the program"
writer_shown || fail "the Writer window went with the program"
kill_our_processes
echo "1 passed, 0 failed"
