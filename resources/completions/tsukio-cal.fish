# fish completion for tsukio-cal: its commands, each command's options, and their values.
set -l commands today month days almanac koyomi holidays ics bar icons snapshot sync
complete -c tsukio-cal -f
complete -c tsukio-cal -n "not __fish_seen_subcommand_from $commands" -a today -d "the day icon's tooltip for today"
complete -c tsukio-cal -n "not __fish_seen_subcommand_from $commands" -a month -d 'a month grid with its holidays'
complete -c tsukio-cal -n "not __fish_seen_subcommand_from $commands" -a days -d 'one line per day'
complete -c tsukio-cal -n "not __fish_seen_subcommand_from $commands" -a almanac -d 'rokuyō and solar terms'
complete -c tsukio-cal -n "not __fish_seen_subcommand_from $commands" -a koyomi -d '旧暦, 干支, 月齢 and 雑節'
complete -c tsukio-cal -n "not __fish_seen_subcommand_from $commands" -a holidays -d 'every named day of the years'
complete -c tsukio-cal -n "not __fish_seen_subcommand_from $commands" -a ics -d 'the holidays as an iCalendar file'
complete -c tsukio-cal -n "not __fish_seen_subcommand_from $commands" -a bar -d 'today as a JSON line for status bars'
complete -c tsukio-cal -n "not __fish_seen_subcommand_from $commands" -a icons -d "the tray's pictures as PNG files"
complete -c tsukio-cal -n "not __fish_seen_subcommand_from $commands" -a snapshot -d 'pictures of the main window'
complete -c tsukio-cal -n "not __fish_seen_subcommand_from $commands" -a sync -d 'ask a time server, set the clock'
complete -c tsukio-cal -n "not __fish_seen_subcommand_from $commands" -l version -d 'show the version'
complete -c tsukio-cal -l help -d 'show the help'

complete -c tsukio-cal -n '__fish_seen_subcommand_from today month icons snapshot' -l weeks -x -a 'iso usa' -d 'week numbers'
complete -c tsukio-cal -n '__fish_seen_subcommand_from today month snapshot bar' -l date -x -d 'take DATE as today'
complete -c tsukio-cal -n '__fish_seen_subcommand_from month' -l no-color -d 'plain text'
complete -c tsukio-cal -n '__fish_seen_subcommand_from ics' -l almanac -d "the almanac's calendar instead"
complete -c tsukio-cal -n '__fish_seen_subcommand_from bar' -l follow -d 'a new line whenever the day changes'
complete -c tsukio-cal -n '__fish_seen_subcommand_from icons snapshot' -l out -x -a '(__fish_complete_directories)' -d folder
complete -c tsukio-cal -n '__fish_seen_subcommand_from icons' -l time -x -d 'the time shown, HH:MM'
complete -c tsukio-cal -n '__fish_seen_subcommand_from icons' -l dpi -x -a '96 120 144' -d 'font sizes for'
complete -c tsukio-cal -n '__fish_seen_subcommand_from icons' -l 12h -d '12-hour clock'
complete -c tsukio-cal -n '__fish_seen_subcommand_from sync' -l ntp -x -a '(__fish_print_hostnames)' -d 'SNTP server'
complete -c tsukio-cal -n '__fish_seen_subcommand_from sync' -l http -x -d 'web page'
complete -c tsukio-cal -n '__fish_seen_subcommand_from sync' -l proxy -x -d 'HTTP proxy, HOST:PORT'
complete -c tsukio-cal -n '__fish_seen_subcommand_from sync' -l system-proxy -d "the environment's proxy"
complete -c tsukio-cal -n '__fish_seen_subcommand_from sync' -l dry-run -d 'set nothing'
