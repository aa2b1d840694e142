// The library's own texts (code page 932) and the control ids of its windows.
#pragma once

#define SZ_TEXT_TITLE "7-zip32.dll"
#define SZ_TEXT_PASSWORD_CAPTION "パスワードの入力"
#define SZ_TEXT_PASSWORD_LABEL "パスワード(&P):"
#define SZ_TEXT_CONFIRM_LABEL "確認のため、もう一度入力してください(&C):"
#define SZ_TEXT_PASSWORD_EMPTY "パスワードを入力してください。"
#define SZ_TEXT_PASSWORD_MISMATCH "二つのパスワードが一致しません。もう一度入力してください。"
#define SZ_TEXT_PASSWORD_ASCII "ZIP 書庫のパスワードには半角の英数字と記号だけが使えます。"
#define SZ_TEXT_OK "OK"
#define SZ_TEXT_CANCEL "キャンセル"
#define SZ_TEXT_PROGRESS_CAPTION "7-zip32.dll - 処理中"
#define SZ_TEXT_PROGRESS_FORMAT "処理中... %d%%"
#define SZ_TEXT_PROGRESS_TITLE_FORMAT "%s - " SZ_TEXT_PROGRESS_CAPTION
#define SZ_TEXT_PROGRESS_SIZE_FORMAT "処理済み: %s / 全体: %s"
#define SZ_TEXT_PROGRESS_TIME_FORMAT "経過時間: %s　残り時間: %s"
#define SZ_TEXT_PROGRESS_UNKNOWN "--:--"
#define SZ_TEXT_BYTES_FORMAT "%u バイト"
#define SZ_TEXT_OVERWRITE_FORMAT                                                                                     \
    "展開先に同じ名前のファイルが %d 個あります。\r\n\r\n%s\r\n上書きしますか？\r\n\r\n" \
    "[はい] 上書きする / [いいえ] 既存のファイルを残して展開する / [キャンセル] 中止"
#define SZ_TEXT_MISSING_ENGINE                                                                                 \
    "7-Zip のコマンドライン版 (/usr/bin/7zz、Windows では 7z.exe) が見つかりません。\r\n" \
    "Debian では「sudo apt-get install 7zip」でインストールしてください。Windows では "    \
    "7-Zip をインストールし、7z.exe を 7-zip32.dll と同じフォルダーか PATH に置いてください。"
#define SZ_TEXT_BAD_COMMAND "コマンドラインが正しくありません:\r\n"
#define SZ_TEXT_NO_PASSWORD_INPUT "パスワードが必要ですが、入力する画面も端末もありません。"
#define SZ_TEXT_START_FAILED "7-Zip を起動できませんでした: "
#define SZ_TEXT_BUSY "7-zip32.dll は他のプログラムで処理中です。"
#define SZ_TEXT_FAILED "7-Zip がエラーを報告しました:\r\n\r\n"
// One sentence per failure users meet; %s is the file as Windows names it.
#define SZ_TEXT_NOT_FOUND "「%s」が見つかりません。"
#define SZ_TEXT_ACCESS_DENIED "「%s」にアクセスできません。"
#define SZ_TEXT_DISK_FULL "ディスクの空き容量が足りないため、「%s」を書き込めません。"
#define SZ_TEXT_WRONG_PASSWORD "「%s」のパスワードが違います。"
#define SZ_TEXT_DAMAGED "「%s」は壊れているか、対応していない形式の書庫です。"
#define SZ_TEXT_UNSUPPORTED_METHOD "「%s」には対応していない圧縮方式のファイルがあります。"
#define SZ_TEXT_PATH_TOO_LONG "「%s」のパスが長すぎます。"
#define SZ_TEXT_CONFIG_FORMAT                                                                      \
    "7-zip32.dll (7-Zip エンジン版) バージョン %d.%02d\r\n\r\nエンジン: %s\r\n%s"
#define SZ_TEXT_CONFIG_NONE "見つかりません"
#define SZ_TEXT_TERMINAL_PROMPT "パスワード: "
#define SZ_TEXT_TERMINAL_CONFIRM "もう一度: "

// Control ids of the password dialog and the progress window.
#define SZ_ID_PASSWORD_LABEL 200
#define SZ_ID_PASSWORD 201
#define SZ_ID_CONFIRM_LABEL 202
#define SZ_ID_CONFIRM 203
#define SZ_ID_PROGRESS_TEXT 300
#define SZ_ID_PROGRESS_FILE 301
#define SZ_ID_PROGRESS_BAR 302
#define SZ_ID_PROGRESS_SIZE 303
#define SZ_ID_PROGRESS_TIME 304
