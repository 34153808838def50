#!/usr/bin/python3
"""Measures how long a window stops answering, from outside: sends it _NET_WM_PING every 5 ms
(Qt answers on its user-interface thread) and prints the longest wait for an answer, in ms,
once the file named by the second argument exists.

Usage: window_stall.py WINDOW_ID STOP_FILE"""
import os
import sys
import time

from Xlib import X, display, protocol

window_id = int(sys.argv[1], 0)
stop_file = sys.argv[2]
d = display.Display()
root = d.screen().root
# Qt sends its answer to the root window for its window manager; listening is enough.
root.change_attributes(event_mask=X.StructureNotifyMask)
window = d.create_resource_object('window', window_id)
wm_protocols = d.intern_atom('WM_PROTOCOLS')
ping = d.intern_atom('_NET_WM_PING')

longest = 0.0
stamp = 1
while not os.path.exists(stop_file):
    stamp += 1
    sent = time.monotonic()
    window.send_event(protocol.event.ClientMessage(window=window, client_type=wm_protocols,
                                                   data=(32, [ping, stamp, window_id, 0, 0])))
    d.flush()
    while True:
        event = d.next_event()
        if (event.type == X.ClientMessage and event.client_type == wm_protocols
                and event.data[1][0] == ping and event.data[1][1] == stamp):
            break
    longest = max(longest, time.monotonic() - sent)
    time.sleep(0.005)
print(f"{longest * 1000:.0f}")
