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
#define SZ_TEXT_MISSING_ENGINE                                                                                        \
    "7-Zip のコマンドライン版 (/usr/bin/7zz か 7z、Windows では 7z.exe) が見つかりません。\r\n" \
    "Debian では「sudo apt-get install 7zip」でインストールしてください。Windows では "           \
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

#define SZ_TEXT_OVERWRITE_CAPTION "上書きの確認"
#define SZ_TEXT_OVERWRITE_FORMAT                                                                                          \
    "このファイルは既にあります。書庫の中のファイルで置き換えますか？\r\n\r\n%ls\r\n\r\n" \
    "既存のファイル:  %ls バイト  %ls\r\n書庫のファイル:  %ls バイト  %ls"
#define SZ_TEXT_YES "はい"
#define SZ_TEXT_YES_ALL "すべてはい"
#define SZ_TEXT_NO "いいえ"
#define SZ_TEXT_NO_ALL "すべていいえ"
#define SZ_TEXT_NOT_PLACED                                                                                                                  \
    "次のファイルは書庫のとおりには展開できませんでした。展開先にあったファイルはそのままです:" \
    "\r\n\r\n"
#define SZ_TEXT_NOT_COMPRESSED "次の書庫を作れませんでした。元のファイルはそのままです:\r\n\r\n"
// Why an entry was not delivered, after its name.
#define SZ_TEXT_REFUSED_IN_USE "ほかのプログラムが使用中"
#define SZ_TEXT_REFUSED_READ_ONLY "読み取り専用か、書き込めません"
#define SZ_TEXT_REFUSED_CLASH "フォルダーとファイルの名前が衝突"
#define SZ_TEXT_REFUSED_ARCHIVE "展開中の書庫自身"
#define SZ_TEXT_REFUSED_NAME "Windows で使えない名前"
#define SZ_TEXT_REFUSED_OUTSIDE "展開先の外を指すリンク"
#define SZ_TEXT_REFUSED_LINK "リンクを通しては書き込めません"
#define SZ_TEXT_REFUSED_NO_LINK "このシステムではリンクを作れません"
#define SZ_TEXT_REFUSED_EXISTS "同じ名前のものがあります"
#define SZ_TEXT_REFUSED_SPECIAL "デバイスなどの特殊なファイル"
#define SZ_TEXT_REFUSED_FAILED "作成または移動できませんでした"
#define SZ_TEXT_REFUSED_CLIMBED "展開先の外を指す名前のため、展開先の中に置きました"
#define SZ_TEXT_NO_HOST_WALK                                                                       \
    "展開したファイルの名前を確かめられませんでした (/usr/bin/perl が必要です):\r\n\r\n"
#define SZ_TEXT_NO_STAGE                                                                           \
    "作業用のフォルダーを作れませんでした (フォルダーがないか、書き込めません):\r\n\r\n"

// The dialogs of dialogs/dialogs.rc and the ids of their controls.
#define SZ_IDD_PASSWORD 100
#define SZ_IDD_PROGRESS 101
#define SZ_IDD_QUESTION 102
#define SZ_ID_PASSWORD_LABEL 200
#define SZ_ID_PASSWORD 201
#define SZ_ID_CONFIRM_LABEL 202
#define SZ_ID_CONFIRM 203
#define SZ_ID_PROGRESS_TEXT 300
#define SZ_ID_PROGRESS_FILE 301
#define SZ_ID_PROGRESS_BAR 302
#define SZ_ID_PROGRESS_SIZE 303
#define SZ_ID_PROGRESS_TIME 304
// The overwrite question: its text is read as a message box's (id 0xFFFF);
// closing the window (IDCANCEL) means No, so Cancel has its own id.
#define SZ_ID_QUESTION_TEXT 0xFFFF
#define SZ_ID_YES_ALL 310
#define SZ_ID_NO_ALL 311
#define SZ_ID_STOP 312
