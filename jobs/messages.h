// The jobs' message boxes: the program's caption, no icon, owned by the
// job's owner window (or none).
#pragma once
#include "version.h"
#include <windows.h>

// The caption of every message box of the program.
#define MESSAGE_CAPTION "Tessaro " TESSARO_VERSION_TEXT

#define MSG_BUSY "7-zip32.dll が使用中です。終了してから再実行して下さい。"
#define MSG_PATH_TOO_LONG "パスが長すぎます。処理を中断します。"
#define MSG_BAD_CHAR "使用できない文字を含むパスがあります。処理を中断します。"
#define MSG_CANCELLED "キャンセルされました。処理を中断します。"
#define MSG_NO_FOLDER "フォルダが選択されませんでした。処理を中断します。"
#define MSG_NO_DESKTOP "デスクトップフォルダを取得できませんでした。処理を中断します。"
#define MSG_CANNOT_CREATE_FOLDER "フォルダを作成できませんでした。処理を中断します。"
#define MSG_OVERWRITE "ファイルが存在します。上書きしますか？"
#define MSG_CANNOT_OVERWRITE "ファイルを上書きできませんでした。処理を中断します。"
// The archive a compression would make is one of its inputs (named by %s):
// the only input, which the library did not take for a ZIP or 7z archive,
// or one of several.
#define MSG_NOT_AN_ARCHIVE "「%s」は解凍できる書庫ではないか、壊れています。処理を中断します。"
#define MSG_ARCHIVE_IS_INPUT "圧縮先の「%s」は圧縮するファイルの一つです。処理を中断します。"

// Shows text with the button OK.
void ShowJobMessage(HWND owner, const char* text);
// Shows format with path in place of its %s, with the button OK.
void ShowJobMessageNaming(HWND owner, const char* format, const char* path);
// Asks text with Yes (the default) and No; true only for Yes.
bool AskJobQuestion(HWND owner, const char* text);
