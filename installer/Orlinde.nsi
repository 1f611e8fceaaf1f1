; The per-user installer of Orlinde (NSIS 3, Modern UI 2). It needs no administrator rights: it installs
; into the user's own program folder, writes HKCU only, and its uninstaller removes exactly what it added.
;
; installer/CMakeLists.txt runs makensis with these definitions:
;   VERSION    the project's version (x.y.z)     PUBLISHER  who publishes it
;   HOST       the built Orlinde.scr              RENDERER   the built Orlinde.xy
;   ICON       assets/orlinde.ico                 OUTFILE    the setup program to write
;   PICTURE    assets/installer.bmp, the 164 × 314 picture of the welcome and finish pages
;   LICENSE    the license text (LICENSE at the top of the source tree), installed as LICENSE.txt

Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user
; The same programs give the same setup program: the payload keeps no file times of the build machine.
SetDateSave off

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orlinde"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SHORTCUT "$SMPROGRAMS\Orlinde settings.lnk"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_SENDCHANGE 2

Name "Orlinde"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Orlinde"
; An upgrade goes where the installed copy is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Orlinde ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEFINISHPAGE_BITMAP "${PICTURE}"

!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; The finish page acts on its "run" box first, then on its "show readme" box: first make Orlinde the
; screen saver, then open the settings page that shows it.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(MakeActiveText)"
!define MUI_FINISHPAGE_RUN_FUNCTION MakeActiveScreenSaver
!define MUI_FINISHPAGE_SHOWREADME
!define MUI_FINISHPAGE_SHOWREADME_TEXT "$(OpenSettingsText)"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION OpenScreenSaverSettings
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The wizard speaks the user's UI language when it is one of these, English otherwise.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString MakeActiveText ${LANG_ENGLISH} "Make Orlinde my screen saver"
LangString MakeActiveText ${LANG_JAPANESE} "Orlinde をスクリーン セーバーにする"
LangString OpenSettingsText ${LANG_ENGLISH} "Open the Screen Saver Settings"
LangString OpenSettingsText ${LANG_JAPANESE} "スクリーン セーバーの設定を開く"
LangString CannotWriteText ${LANG_ENGLISH} \
  "Orlinde cannot be installed into this folder, because it cannot be written:$\r$\n$\r$\n$INSTDIR$\r$\n$\r$\nChoose a folder of your own (the settings are kept beside the program)."
LangString CannotWriteText ${LANG_JAPANESE} \
  "このフォルダーには書き込めないため、Orlinde をインストールできません:$\r$\n$\r$\n$INSTDIR$\r$\n$\r$\nご自分で書き込めるフォルダーを選んでください (設定はプログラムと同じフォルダーに保存されます)。"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Orlinde"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Orlinde setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${PUBLISHER}"

Var WriteFailed

; Sets $WriteFailed to 1 when no file can be made in $INSTDIR (creating the folder when it is missing),
; to 0 otherwise. Leaves no file behind; with a non-empty argument on the stack it also removes the folder
; again when it made it.
Function CheckWritable
  Exch $0
  Push $1
  Push $2
  StrCpy $WriteFailed 0
  StrCpy $2 1
  IfFileExists "$INSTDIR\*.*" 0 +2
    StrCpy $2 0
  ClearErrors
  CreateDirectory "$INSTDIR"
  FileOpen $1 "$INSTDIR\Orlinde-write-test.tmp" w
  ${If} ${Errors}
    StrCpy $WriteFailed 1
  ${Else}
    FileClose $1
    Delete "$INSTDIR\Orlinde-write-test.tmp"
  ${EndIf}
  ${If} $0 != ""
  ${AndIf} $2 == 1
    RMDir "$INSTDIR"
  ${EndIf}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

Function DirectoryLeave
  Push "leave no folder"
  Call CheckWritable
  ${If} $WriteFailed == 1
    MessageBox MB_OK|MB_ICONSTOP "$(CannotWriteText)"
    Abort  ; stays on the folder page
  ${EndIf}
FunctionEnd

Function MakeActiveScreenSaver
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$INSTDIR\Orlinde.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  ; Tell the running session, as the Screen Saver settings page does.
  System::Call "user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_SENDCHANGE})"
FunctionEnd

Function OpenScreenSaverSettings
  Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
FunctionEnd

Section "Orlinde"
  SectionIn RO
  ; Nothing is copied or registered unless the whole folder can be written.
  Push ""
  Call CheckWritable
  ${If} $WriteFailed == 1
    MessageBox MB_OK|MB_ICONSTOP "$(CannotWriteText)" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}

  SetOutPath "$INSTDIR"
  SetOverwrite on
  ; An upgrade replaces the programs; Orlinde.ini, the user's settings, is never touched.
  File "/oname=Orlinde.scr" "${HOST}"
  File "/oname=Orlinde.xy" "${RENDERER}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortcut "${SHORTCUT}" "$INSTDIR\Orlinde.scr" "/c" "$INSTDIR\Orlinde.scr" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Orlinde"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Orlinde.scr,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  ${GetSize} "$INSTDIR" "/M=Orlinde.* /S=0K /G=0" $0 $1 $2
  ${GetSize} "$INSTDIR" "/M=Uninstall.exe /S=0K /G=0" $1 $2 $3
  IntOp $0 $0 + $1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

  ; Interactive installs ask on the finish page; a silent install always makes it the screen saver.
  ${If} ${Silent}
    Call MakeActiveScreenSaver
  ${EndIf}
SectionEnd

Section "Uninstall"
  ; The registration and the shortcut are this copy's when the key names this folder (or is gone already);
  ; an older uninstaller left in another folder does not remove a newer installation's.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == ""
  ${OrIf} $0 == "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    Delete "${SHORTCUT}"
  ${EndIf}

  ; The active screen saver is reset only while it is still this installation's program, by its long or
  ; its short (8.3) name.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  GetFullPathName /SHORT $1 "$INSTDIR\Orlinde.scr"
  ${If} $0 != ""
    ${If} $0 == "$INSTDIR\Orlinde.scr"
    ${OrIf} $0 == $1
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${EndIf}
  ${EndIf}

  ; Only the files the installer and the programs made; the folder goes only when nothing else is in it.
  Delete "$INSTDIR\Orlinde.scr"
  Delete "$INSTDIR\Orlinde.xy"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Orlinde.ini"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
