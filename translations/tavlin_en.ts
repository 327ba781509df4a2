<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>CommonShortcuts</name>
    <message>
        <source>基本操作 · 常設</source>
        <translation>Basics · Always</translation>
    </message>
    <message>
        <source>スクリーンショット · 常設</source>
        <translation>Screenshots · Always</translation>
    </message>
    <message>
        <source>コピー</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>切り取り</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>ペースト</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>取り消す</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>やり直す</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>すべてを選択</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>検索</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>ウインドウを閉じる</source>
        <translation>Close Window</translation>
    </message>
    <message>
        <source>アプリを切り替える</source>
        <translation>Switch Applications</translation>
    </message>
    <message>
        <source>撮影・収録メニュー</source>
        <translation>Screenshot Tool</translation>
    </message>
    <message>
        <source>画面全体を保存</source>
        <translation>Save the Whole Screen</translation>
    </message>
    <message>
        <source>ウインドウを保存</source>
        <translation>Save a Window</translation>
    </message>
    <message>
        <source>画面収録メニュー</source>
        <translation>Record the Screen</translation>
    </message>
    <message>
        <source>スクリーンショットアプリを開く</source>
        <translation>Open the Screenshot App</translation>
    </message>
    <message>
        <source>画面全体を撮影</source>
        <translation>Capture the Whole Screen</translation>
    </message>
    <message>
        <source>アクティブなウインドウを撮影</source>
        <translation>Capture the Active Window</translation>
    </message>
    <message>
        <source>ウインドウを撮影</source>
        <translation>Capture a Window</translation>
    </message>
    <message>
        <source>選択範囲を撮影</source>
        <translation>Capture a Selected Area</translation>
    </message>
    <message>
        <source>ファイル · 常設</source>
        <translation>Files · Always</translation>
    </message>
    <message>
        <source>新規フォルダ</source>
        <translation>New Folder</translation>
    </message>
    <message>
        <source>一つ上のフォルダを開く</source>
        <translation>Open the Parent Folder</translation>
    </message>
    <message>
        <source>隠しファイルの表示を切り替える</source>
        <translation>Show or Hide Hidden Files</translation>
    </message>
    <message>
        <source>場所を入力</source>
        <translation>Enter a Location</translation>
    </message>
    <message>
        <source>名前を変更</source>
        <translation>Rename</translation>
    </message>
</context>
<context>
    <name>KeyLegend</name>
    <message>
        <source>矢印</source>
        <translation>Arrows</translation>
    </message>
    <message>
        <source>特殊キー</source>
        <translation>Special key</translation>
    </message>
</context>
<context>
    <name>Overlay</name>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>この画面ではショートカットが見つかりませんでした</source>
        <translation>No shortcuts were found in this window</translation>
    </message>
    <message>
        <source>メニューが切り替わる画面では、画面を開いてから再表示してください。</source>
        <translation>Where the menus change with the view, open that view first, then show the shortcuts again.</translation>
    </message>
    <message>
        <source>⌥ Space で表示 / 非表示</source>
        <translation>Alt+Space to show / hide</translation>
    </message>
    <message>
        <source>Esc で閉じる</source>
        <translation>Esc to close</translation>
    </message>
    <message>
        <source>現在のアプリ</source>
        <translation>Current Application</translation>
    </message>
    <message>
        <source>使用できるショートカット</source>
        <translation>Available shortcuts</translation>
    </message>
    <message>
        <source>最初の1回だけ許可が必要です</source>
        <translation>Permission is needed once</translation>
    </message>
    <message>
        <source>各アプリのメニューを読むため、Tavlinを
「アクセシビリティ」で許可してください。</source>
        <translation>To read each application&apos;s menus, Tavlin needs
the desktop&apos;s accessibility support turned on.</translation>
    </message>
    <message>
        <source>許可画面を開く</source>
        <translation>Turn On Accessibility</translation>
    </message>
    <message>
        <source>許可後、もう一度 ⌥ Space を押してください</source>
        <translation>Then press Alt+Space again</translation>
    </message>
    <message>
        <source>先頭へ</source>
        <translation>Top</translation>
    </message>
    <message>
        <source>ショートカット一覧の先頭へ戻る</source>
        <translation>Back to the top of the list</translation>
    </message>
</context>
<context>
    <name>ShortcutScanner</name>
    <message>
        <source>メニュー</source>
        <translation>Menu</translation>
    </message>
</context>
<context>
    <name>StatusMenu</name>
    <message>
        <source>ショートカットを表示  ⌥Space</source>
        <translation>Show Shortcuts  Alt+Space</translation>
    </message>
    <message>
        <source>アクセシビリティ設定を開く</source>
        <translation>Open Accessibility Settings</translation>
    </message>
    <message>
        <source>ログイン時に起動</source>
        <translation>Start at Login</translation>
    </message>
    <message>
        <source>Tavlinを終了</source>
        <translation>Quit Tavlin</translation>
    </message>
</context>
</TS>
