#include "sevenzip32/host/hostwalk.h"

#include <string.h>
#include <strsafe.h>

#include "sevenzip32/engine/engine.h"
#include "sevenzip32/base/names.h"
#include "sevenzip32/base/trace.h"
#include "sevenzip32/base/wine.h"

// Arguments: the report file, mode, root (host path), the forbidden
// characters and device names of the containment rule, how to meet an
// existing entry, link pairs. The walk is started directly, with no shell
// and no watcher of its own: it ends by itself, and while it runs the
// extraction's watcher still guards the staging and private folders.
// Names are bytes throughout: a part is kept when it is UTF-8 and passes the
// rule; otherwise each byte that is no UTF-8 character, a forbidden or
// control character or '%' becomes %XX, as does a trailing dot or blank and
// the first letter of a device name.
static const char kWalkScript[] = R"PERL(
use strict;
my ($report, $mode, $root, $forbidden, $devices, $how, @pairs) = @ARGV;
open(STDOUT, '>', $report) or exit 2;
my %device = map { $_ => 1 } split /,/, $devices;
my $char = qr/[\x00-\x7f]|[\xc2-\xdf][\x80-\xbf]|\xe0[\xa0-\xbf][\x80-\xbf]
  |[\xe1-\xec\xee\xef][\x80-\xbf]{2}|\xed[\x80-\x9f][\x80-\xbf]
  |\xf0[\x90-\xbf][\x80-\xbf]{2}|[\xf1-\xf3][\x80-\xbf]{3}|\xf4[\x80-\x8f][\x80-\xbf]{2}/x;
sub say_line { print join("\t", @_), "\n" }
sub plain { my $c = shift; length($c) > 1 || ($c ge ' ' && index($forbidden, $c) < 0) }
sub device { my ($stem) = $_[0] =~ /\A([^.]*)/; $device{uc $stem} }
sub safe {
  my $n = shift;
  return 0 if $n !~ /\A(?:$char)+\z/ || $n =~ /[. ]\z/ || device($n);
  for my $c ($n =~ /$char/g) { return 0 unless plain($c) }
  return 1;
}
sub hex_byte { sprintf('%%%02X', ord $_[0]) }
sub escape {
  my ($n, $out) = (shift, '');
  while ($n =~ /\G(?:($char)|(.))/gs) {
    $out .= defined $1 && plain($1) && $1 ne '%' ? $1 : join '', map { hex_byte($_) } split //, $+;
  }
  $out =~ s/([. ])\z/hex_byte($1)/e;
  $out =~ s/\A(.)/hex_byte($1)/e if device($out);
  return $out;
}
sub remove {
  my $p = shift;
  if (!-l $p && -d _) {
    opendir(my $dh, $p) or return;
    remove("$p/$_") for grep { $_ ne '.' && $_ ne '..' } readdir $dh;
    rmdir $p;
  } else { unlink $p }
}
sub walk {
  my $rel = shift;
  my $dir = length $rel ? "$root/$rel" : $root;
  opendir(my $dh, $dir) or return say_line('R', $rel, 'failed');
  my @names = grep { $_ ne '.' && $_ ne '..' } readdir $dh;
  closedir $dh;
  for my $n (@names) {
    my $escaped = !safe($n);
    my $name = $escaped ? escape($n) : $n;
    my $r = length $rel ? "$rel/$name" : $name;
    # Never over another entry: one already of the escaped name keeps it.
    my $why = !$escaped ? '' : lstat("$dir/$name") ? 'exists'
            : rename("$dir/$n", "$dir/$name") ? '' : 'name';
    if ($why) {
      remove("$dir/$n");
      say_line('R', $r, $why);
      next;
    }
    lstat "$dir/$name";
    if (-l _) {
      my $t = readlink "$dir/$name";
      unlink "$dir/$name";
      if (defined $t && $t =~ /\A(?:$char)+\z/ && $t !~ /[\x00-\x1f]/) { say_line('L', $r, $t) }
      else { say_line('R', $r, 'link') }
    } elsif (-d _) { walk($r); say_line('E', $r) if $escaped }
    elsif (-f _) { say_line('E', $r) if $escaped }
    else { unlink "$dir/$name"; say_line('R', $r, 'special') }
  }
}
# Where target leads from the folder at (parts below root), following links
# already made; undef when it leaves root.
sub resolve {
  my ($at, $target, $hops) = @_;
  return undef if $target =~ m{\A/} || $hops > 40;
  my @at = @$at;
  for my $p (split m{/}, $target) {
    next if $p eq '' || $p eq '.';
    if ($p eq '..') { return undef unless @at; pop @at; next }
    my $full = join '/', $root, @at, $p;
    if (-l $full) {
      my $r = resolve(\@at, readlink($full), $hops + 1);
      return undef unless $r;
      @at = @$r;
    } else { push @at, $p }
  }
  return \@at;
}
if ($mode eq 'tidy') { walk('') }
while (my ($rel, $target) = splice @pairs, 0, 2) {
  my @at = split m{/}, $rel;
  my $leaf = pop @at;
  my ($dir, $why) = ($root, '');
  for (@at) { $dir .= "/$_"; $why = 'link' if -l $dir || !-d _ }
  $why ||= 'outside' unless resolve(\@at, $target, 0);
  my $path = "$dir/$leaf";
  if (!$why && lstat $path) {
    next if $how eq 'skip';
    my $temp = "$dir/.$leaf.$$";
    $why = $how ne 'replace' || -d _ ? 'exists'
         : symlink($target, $temp) && rename($temp, $path) ? '' : 'failed';
    unlink $temp if $why eq 'failed';
  } elsif (!$why) { $why = symlink($target, $path) ? '' : 'failed' }
  say_line('R', $rel, $why) if $why;
}
)PERL";

static const char kPerl[] = "/usr/bin/perl";

static bool RunWalk(SzPrivate* folder, LPCSTR mode, LPCWSTR root, LPCSTR existing,
                    const SzArgs* links, SzConsole* report) {
    char host[MAX_PATH * 3];
    char reportHost[MAX_PATH * 3 + 32];
    WCHAR reportPath[MAX_PATH];
    ZeroMemory(host, sizeof(host));
    SzEngineInfo perl;
    ZeroMemory(&perl, sizeof(perl));
    perl.wine = true;
    StringCchCopyA(perl.path, sizeof(perl.path), kPerl);
    if (!SzWineHostPath(root, host, sizeof(host)) || !SzOpenPrivate(folder, &perl)) {
        return false;
    }
    SzPrivateFile(folder, "walk", reportHost, sizeof(reportHost), reportPath);
    SzArgs args;
    SzArgsInit(&args);
    static const LPCSTR kLeading[] = {kPerl, "-e", kWalkScript, "--"};
    for (size_t i = 0; i < sizeof(kLeading) / sizeof(kLeading[0]); i++) {
        SzArgsAdd(&args, kLeading[i]);
    }
    SzArgsAdd(&args, reportHost);
    SzArgsAdd(&args, mode);
    SzArgsAdd(&args, host);
    SzArgsAdd(&args, SZ_FORBIDDEN_CHARS);
    SzArgsAdd(&args, SZ_DEVICE_NAMES);
    SzArgsAdd(&args, existing);
    for (int i = 0; links != NULL && i < links->count; i++) {
        SzArgsAdd(&args, SzArgsAt(links, i));
    }
    char** vector = args.failed ? NULL : SzArgsVector(&args, 0, NULL);
    SzTrace("host walk started", mode);
    bool ok = vector != NULL && SzHostRun(vector) == 0;
    SzTrace("host walk ended", mode);
    HANDLE file = CreateFileW(reportPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    ok = ok && file != INVALID_HANDLE_VALUE;
    char buffer[16384];
    DWORD got = 0;
    while (ok && ReadFile(file, buffer, sizeof(buffer), &got, NULL) && got > 0) {
        SzConsoleFeed(report, buffer, got);
    }
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    DeleteFileW(reportPath);
    if (vector != NULL) {
        HeapFree(GetProcessHeap(), 0, vector);
    }
    SzArgsFree(&args);
    return ok;
}

bool SzTidyHostTree(SzPrivate* folder, LPCWSTR stage, SzConsole* report) {
    return RunWalk(folder, "tidy", stage, "keep", NULL, report);
}

bool SzMakeHostLinks(SzPrivate* folder, LPCWSTR dest, LPCSTR existing, const SzArgs* links,
                     SzConsole* report) {
    return links->count == 0 || RunWalk(folder, "links", dest, existing, links, report);
}

void SzRemoveHostTree(LPCWSTR dir) {
    char host[MAX_PATH * 3];
    ZeroMemory(host, sizeof(host));
    if (SzWineHostPath(dir, host, sizeof(host))) {
        SzHostRemoveTree(host);
    }
}
