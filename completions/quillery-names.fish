# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
# fish completion for quillery-names.

complete -c quillery-names -f
complete -c quillery-names -s h -l help -d 'Show the options and exit'
complete -c quillery-names -s v -l version -d 'Show the version and exit'
complete -c quillery-names -l from -x -d 'Start year, as typed into the window'
complete -c quillery-names -l to -x -d 'End year, as typed into the window'
complete -c quillery-names -l count -x -d 'Number of names, 1 to 1000'
complete -c quillery-names -l roster -r -F -d 'Roster file to read'
complete -c quillery-names -l seed -x -d 'Seed for reproducible names'
complete -c quillery-names -l fictional -d "No name is a real player's full name"
complete -c quillery-names -l unique -d 'No name twice in the list, nor one already in the file of --append'
complete -c quillery-names -l format -x -a 'text csv json block' -d 'Output format'
complete -c quillery-names -l append -r -F -d "Also append the list file's block to FILE"
complete -c quillery-names -l exclude -r -F -d 'Leave out every name listed in FILE'
complete -c quillery-names -l verbose -d 'Report the period and its players on stderr'
