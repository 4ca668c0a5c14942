; What the installer and the uninstaller tell the user (Japanese, like the programs).
; $\r$\n is a line break; $R1 names the file in use.

!define MSG_CANNOT_CREATE_FOLDER "インストール先のフォルダーを作成できません。$\r$\n$INSTDIR$\r$\n$\r$\n書き込みできるフォルダーを指定してください。何も変更していません。"
!define MSG_CANNOT_WRITE "インストール先にファイルを書き込めません。$\r$\n$INSTDIR$\r$\n$\r$\nディスクの空き容量と書き込みの権限を確かめてください。何も変更していません。"
!define MSG_CLOSE_PROGRAMS "スクリーンセーバーのプレビューや設定画面、Vistrel を閉じてから［再試行］を押してください。"
!define MSG_FILE_IN_USE "$R1 が使用中のため置き換えられません。$\r$\n$\r$\n${MSG_CLOSE_PROGRAMS}"
!define MSG_FILE_IN_USE_UNINSTALL "$R1 が使用中のため削除できません。$\r$\n$\r$\n${MSG_CLOSE_PROGRAMS}"
!define MSG_INSTALL_CANCELLED "インストールを中止しました。何も変更していません。"
!define MSG_CANNOT_REPLACE "ファイルを置き換えられなかったため、元のファイルに戻してインストールを中止しました。"
!define MSG_NOTHING_TO_UNINSTALL "$INSTDIR にはインストールされていません（アンインストール済みです）。"
!define MSG_UNINSTALL_CANCELLED "アンインストールを中止しました。何も削除していません。"
!define MSG_CANNOT_DELETE "削除できないファイルがあります。$\r$\n$INSTDIR$\r$\n$\r$\nプログラムを閉じてから、もう一度アンインストールしてください。"
!define MSG_DELETE_SETTINGS "設定ファイルも削除しますか？$\r$\n${SETTINGS_FILE}$\r$\n$\r$\n［いいえ］を選ぶと、次にインストールしたときに今の設定がそのまま使われます。"
!define MSG_UNUSABLE_FOLDER "指定されたフォルダーにはインストールできません。$\r$\n$3$\r$\n$\r$\n途中にファイルがあるか、ドライブがありません。何も変更していません。"
