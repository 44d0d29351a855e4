#!/usr/bin/python3
"""tsukio-cal's feeds read by the programs that use them: the iCalendar files by a real parser
(python3-icalendar) and a real calendar (khal, with a configuration of its own), the bar line
as JSON on the days that colour it, and `bar --follow` at a real midnight: a local midnight
two seconds away, made by a time zone whose offset puts it there, not by a faked clock."""
import datetime
import json
import os
import subprocess
import sys
import tempfile
import time

import icalendar

CAL = sys.argv[1]
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message, file=sys.stderr)


def run(*args, env=None, faketime=None):
    command = (["faketime", faketime] if faketime else []) + [CAL, *args]
    return subprocess.run(command, check=True, capture_output=True, env=env).stdout


def bare_lines(feed):
    """The feed's lines as the bytes go: CRLF-ended, at most 75 octets, whole characters."""
    check(feed.endswith(b"\r\n"), "the feed does not end with CRLF")
    lines = feed[:-2].split(b"\r\n")
    check(not any(b"\n" in line or b"\r" in line for line in lines), "a line ends without CRLF")
    long = [line for line in lines if len(line) > 75]
    check(not long, f"{len(long)} lines longer than 75 octets: {long[:1]}")
    for line in lines:
        try:
            line.decode("utf-8")
        except UnicodeDecodeError:
            check(False, f"a line splits a character: {line!r}")
            break
    return lines


# The whole range, both calendars: what a parser reads, line by line.
holidays_feed = run("ics", "1948", "2150")
almanac_feed = run("ics", "1948", "2150", "--almanac")
bare_lines(holidays_feed)
bare_lines(almanac_feed)
listed = [line.split("\t") for line in run("holidays", "1948", "2150").decode().splitlines()]

calendar = icalendar.Calendar.from_ical(holidays_feed)
check(str(calendar["X-WR-CALNAME"]) == "日本の祝日", "the holiday calendar's name")
check(str(calendar["VERSION"]) == "2.0" and "Tsukio" in str(calendar["PRODID"]), "VERSION, PRODID")
events = calendar.walk("VEVENT")
read = [(event.decoded("DTSTART").isoformat(), str(event["SUMMARY"])) for event in events]
check(read == [tuple(day) for day in listed],
      "the feed's holidays are not `tsukio-cal holidays`'s: "
      f"{sorted(set(read) ^ set(map(tuple, listed)))[:3]}")
for event in events:
    start, end = event.decoded("DTSTART"), event.decoded("DTEND")
    if not (type(start) is datetime.date and end - start == datetime.timedelta(days=1)
            and str(event["TRANSP"]) == "TRANSPARENT" and "DTSTAMP" in event
            and event["CATEGORIES"].to_ical() == "祝日".encode()):
        check(False, f"event of {start} is not an all-day transparent 祝日: {event.to_ical()!r}")
        break
almanac = icalendar.Calendar.from_ical(almanac_feed)
almanac_events = almanac.walk("VEVENT")
check(str(almanac["X-WR-CALNAME"]) == "暦", "the almanac calendar's name")
check({str(e["SUMMARY"]) for e in almanac_events} & {name for _, name in listed} == set(),
      "a holiday in the almanac calendar")
uids = [str(e["UID"]) for e in events + almanac_events]
check(len(uids) == len(set(uids)), f"{len(uids) - len(set(uids))} UIDs shared, 1948-2150")
print(f"ics: {len(events)} holidays and {len(almanac_events)} almanac days 1948-2150 parse; "
      f"{len(set(uids))} UIDs, all different; every line CRLF, ≤ 75 octets, whole characters")

with tempfile.TemporaryDirectory() as home:
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=f"{home}/config",
               XDG_DATA_HOME=f"{home}/data", XDG_CACHE_HOME=f"{home}/cache", TZ="Asia/Tokyo")
    folder = f"{home}/holidays"
    os.mkdir(folder)
    config = f"{home}/khal.conf"
    with open(config, "w") as f:
        f.write(f"[calendars]\n[[holidays]]\npath = {folder}\ntype = calendar\n"
                "[locale]\ndateformat = %Y-%m-%d\nlongdateformat = %Y-%m-%d\n"
                "timeformat = %H:%M\ndatetimeformat = %Y-%m-%d %H:%M\n"
                "longdatetimeformat = %Y-%m-%d %H:%M\n[default]\ndefault_calendar = holidays\n")

    def khal(*args, stdin=None):
        return subprocess.run(["khal", "-c", config, *args], check=True, capture_output=True,
                              text=True, env=env, input=stdin).stdout

    for years in (["2026"], ["2026", "2027"]):
        with open(f"{home}/feed.ics", "wb") as f:
            f.write(run("ics", *years))
        khal("import", "--batch", f"{home}/feed.ics")
    shown = khal("list", "--day-format", "", "--format", "{start-date} {title}", "2026-05-03",
                 "2026-05-06").splitlines()
    check(shown == ["2026-05-03 憲法記念日", "2026-05-04 みどりの日", "2026-05-05 こどもの日",
                    "2026-05-06 振替休日"], f"khal shows Golden Week 2026 as: {shown}")
    expected = len(run("holidays", "2026", "2027").splitlines())
    stored = len(os.listdir(folder))
    new_year = khal("list", "--format", "{title}", "2026-01-01", "1d").split()
    check(stored == expected and new_year.count("元日") == 1,
          f"after importing 2026 then 2026-2027: {stored} events for {expected} holidays, "
          f"1 January shows {new_year}")
    print(f"khal: 2026 then 2026-2027 imported, {stored} events for {expected} holidays; "
          f"Golden Week shown by name")

# The bar line on the days a stylesheet colours, through the real clock (libfaketime).
tokyo = dict(os.environ, TZ="Asia/Tokyo")
for day, classes in (("2026-05-03", ["holiday"]), ("2026-12-12", ["saturday"]),
                     ("2026-12-13", ["sunday"]), ("2026-12-09", [])):
    line = json.loads(run("bar", env=tokyo, faketime=f"{day} 12:00:00"))
    tip = run("today", "--date", day).decode().rstrip("\n")
    check(line["class"] == classes and line["tooltip"] == tip,
          f"bar on {day}: {line}, expected classes {classes} and tooltip {tip}")
print("bar: holiday, Saturday, Sunday and weekday classes; the tray's tooltip")


def voluntary_switches(pid):
    with open(f"/proc/{pid}/status") as f:
        return next(int(l.split()[1]) for l in f if l.startswith("voluntary_ctxt_switches"))


# --follow across a local midnight two seconds away.
midnight = int(time.time()) + 3
offset = -midnight % 86400
zone = f"TSK-{offset // 3600:02d}:{offset // 60 % 60:02d}:{offset % 60:02d}"
follow = subprocess.Popen([CAL, "bar", "--follow"], stdout=subprocess.PIPE,
                          env=dict(os.environ, TZ=zone))
try:
    first = json.loads(follow.stdout.readline())
    before = voluntary_switches(follow.pid)
    second = json.loads(follow.stdout.readline())
    late = time.time() - midnight
    new_day = datetime.datetime.fromtimestamp(midnight, datetime.timezone.utc) + \
        datetime.timedelta(seconds=offset)
    expected = json.loads(run("bar", "--date", new_day.date().isoformat()))
    check(0 <= late < 1 and second == expected and first != second,
          f"after midnight: {second} {late:.3f} s late, expected {expected}")
    at_midnight = voluntary_switches(follow.pid)
    time.sleep(4)
    asleep = voluntary_switches(follow.pid) - at_midnight
    check(asleep == 0 and at_midnight - before <= 2,
          f"wake-ups: {at_midnight - before} to midnight, {asleep} in the 4 s after")
    check(follow.poll() is None, "bar --follow ended")
    print(f"bar --follow: new line {late * 1000:.0f} ms after midnight; wake-ups "
          f"{at_midnight - before} up to midnight, {asleep} in the 4 s after")
    # A bar that quits closes its end of the pipe: no one is left asleep for it.
    follow.stdout.close()
    try:
        check(follow.wait(timeout=1) == 0, f"bar --follow ended with {follow.returncode}")
    except subprocess.TimeoutExpired:
        check(False, "bar --follow sleeps on with no one reading")
finally:
    follow.kill()
    follow.wait()

sys.exit(1 if failures else 0)
