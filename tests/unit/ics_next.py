#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads an iCalendar file with python3-icalendar, an iCalendar reader apart
from libical, and prints per event its uid and its next COUNT moments after
AFTER (seconds since the epoch) as seconds since the epoch."""
import sys
from datetime import datetime, timezone
from zoneinfo import ZoneInfo

import icalendar
from dateutil.rrule import rrulestr

path, after, count = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
with open(path, 'rb') as f:
    cal = icalendar.Calendar.from_ical(f.read())
after_dt = datetime.fromtimestamp(after, timezone.utc)
for event in cal.walk('VEVENT'):
    prop = event['DTSTART']
    start = prop.dt
    zone = prop.params.get('TZID')
    # Recurrence runs on the wall clock of the event's zone, then each moment is placed in it.
    naive = start.replace(tzinfo=None)
    tz = ZoneInfo(zone) if zone else (start.tzinfo or timezone.utc)
    if 'RRULE' in event:
        rule = rrulestr(event['RRULE'].to_ical().decode(), dtstart=naive)
        moments = (m.replace(tzinfo=tz) for m in rule)
    else:
        moments = iter([naive.replace(tzinfo=tz)])
    found = []
    for m in moments:
        if m > after_dt:
            found.append(str(int(m.timestamp())))
            if len(found) == count:
                break
    print(str(event['UID']), *found)
