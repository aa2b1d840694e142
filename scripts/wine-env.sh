# Sourced: the environment every Wine run of Tessaro uses.
# Code page 932 comes from the Japanese locale; no installer prompts ever.
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
export WINEARCH=win32
