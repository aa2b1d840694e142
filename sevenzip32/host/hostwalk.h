// The Wine road's work on staged trees that only the host can do: Wine cannot
// name a host file whose name is not UTF-8 or holds a character Windows
// forbids, and it follows links where a host program would not. One host
// program (perl, part of every Debian system) walks the tree, never through
// a link, and reports one line per finding, tab-separated:
//   E <path>          a part of path was renamed to its %XX escape
//   L <path> <target> a link, taken out of the tree to be made after placing
//   R <path> <why>    an entry not delivered: name, outside, link, exists,
//                     special or failed
// Paths are relative, parts separated by '/', in UTF-8.
#pragma once
#include <windows.h>

#include "sevenzip32/base/args.h"
#include "sevenzip32/engine/console.h"
#include "sevenzip32/engine/engine.h"

// Renames every entry under stage (a full Windows path) that Windows cannot
// hold to its escape (never over another entry), takes links out and removes
// special files; the findings go to report, through a file of the call's
// private folder. False when the walk did not run.
bool SzTidyHostTree(SzPrivate* folder, LPCWSTR stage, SzConsole* report);

// Makes the links (pairs of path and target in links) under dest, each only
// where its folder is reached without a link and its target, followed through
// any link already there, stays inside dest. An existing entry of the same
// name is replaced ("replace", never a folder), kept quietly ("skip") or
// reported ("keep"). Refusals go to report as R lines.
bool SzMakeHostLinks(SzPrivate* folder, LPCWSTR dest, LPCSTR existing, const SzArgs* links,
                     SzConsole* report);

// Removes a folder tree this job created, never following a link inside it.
void SzRemoveHostTree(LPCWSTR dir);
