; Setup program of Velodane for Windows: makensis builds velodane-setup-1.00.exe
; from it (scripts/windows does, through make-installer.sh).
;
;   makensis -DVELODANE_EXE=<Velodane.exe> -DSAMPLES=<folder of vd1.doc..vd62.doc>
;            -DOUTFILE=<setup.exe> [-DTARGET=amd64-unicode] velodane.nsi
;
; It installs Velodane.exe, and the 62 sample documents where no document of
; that name exists, into the one folder where the program looks for the
; documents, "C:\Program Files\Velodane"; a Start-menu shortcut; an entry in
; the system's list of programs. The uninstaller removes what the installer
; put there and nothing else: a sample document is removed only when it is
; still the file the installer wrote, so a real description placed over it or
; a sample the user edited stays, and so does the folder around it.
;
; The shipped setup is 32-bit (x86-unicode), like Velodane.exe.  TARGET
; amd64-unicode builds the same setup as a 64-bit program around the 64-bit
; build of Velodane.exe: only for testing under 64-bit Wine, where 32-bit
; programs may not run; it is never shipped.

!ifdef TARGET
  Target ${TARGET}
!else
  Unicode true
!endif

!ifndef VELODANE_EXE | SAMPLES | OUTFILE
  !error "define VELODANE_EXE, SAMPLES and OUTFILE (see the head of this file)"
!endif
!if ! /FileExists "${VELODANE_EXE}"
  !error "no program at ${VELODANE_EXE}"
!endif
!if ! /FileExists "${SAMPLES}/vd1.doc"
!orif ! /FileExists "${SAMPLES}/vd62.doc"
  !error "the sample documents vd1.doc to vd62.doc are not in ${SAMPLES}"
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh
!include WordFunc.nsh

!define VERSION "1.00"
!define PUBLISHER "Velodane Project"
!define SHORTCUT_NAME "คำอธิบายกลุ่มชุดดิน"
!define DISPLAY_NAME "คำอธิบายกลุ่มชุดดิน (Velodane)"
!define GROUP_COUNT 62
; The documents' folder is a constant of the program: it opens
; "c:\Program Files\Velodane\vdN.doc" and nothing else. So the folder is
; written out here rather than taken from $PROGRAMFILES: on 64-bit Windows a
; 32-bit setup's $PROGRAMFILES is "C:\Program Files (x86)", where the program
; would find no document. WOW64 redirects only the system folder and parts of
; the registry, never "C:\Program Files", so this 32-bit setup writing to it
; writes to the 64-bit Program Files folder, the one the program reads
; (on such a system it is also $PROGRAMFILES64).
!define FOLDER "C:\Program Files\Velodane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velodane"
; One value per sample document this setup wrote, "<size> <time high> <time low>":
; its size in bytes and last-write time right after writing.
!define SAMPLES_KEY "Software\Velodane\InstalledSamples"

Name "$(ProductName)"
OutFile "${OUTFILE}"
InstallDir "${FOLDER}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
BrandingText "Velodane ${VERSION}"

VIProductVersion 1.0.0.0
VIFileVersion 1.0.0.0
VIAddVersionKey /LANG=1033 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=1033 FileDescription "Velodane Setup: descriptions of the soil-series groups"
VIAddVersionKey /LANG=1033 FileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 InternalName "Velodane"
VIAddVersionKey /LANG=1033 OriginalFilename "velodane-setup-${VERSION}.exe"
VIAddVersionKey /LANG=1033 ProductName "Velodane"
VIAddVersionKey /LANG=1033 ProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 LegalCopyright "${PUBLISHER}"

!define MUI_ICON "../../src/artwork/images/IslandIcon.ico"
!define MUI_UNICON "../../src/artwork/images/IslandIcon.ico"
!define MUI_ABORTWARNING
!define MUI_LANGDLL_WINDOWTITLE "ภาษาของตัวติดตั้ง / Setup language"
!define MUI_LANGDLL_INFO "กรุณาเลือกภาษา$\r$\nPlease select a language."
!define MUI_LANGDLL_REGISTRY_ROOT HKLM
!define MUI_LANGDLL_REGISTRY_KEY "Software\Velodane"
!define MUI_LANGDLL_REGISTRY_VALUENAME "InstallerLanguage"

!ifdef WELCOME_BITMAP
  !define MUI_WELCOMEFINISHPAGE_BITMAP "${WELCOME_BITMAP}"
  !define MUI_UNWELCOMEFINISHPAGE_BITMAP "${WELCOME_BITMAP}"
!endif

; The pages' own texts break their Thai lines themselves: Thai is written
; without blanks between words, and not every system breaks such lines.
!define MUI_WELCOMEPAGE_TITLE "$(WelcomeTitle)"
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "$(FinishTitle)"
!define MUI_FINISHPAGE_TEXT "$(FinishText)"
!insertmacro MUI_PAGE_FINISH
; The uninstaller's own words too: the stock Thai texts say "cancel the
; installation" (ยกเลิกการติดตั้ง) for uninstalling, beside a Cancel button.
!define MUI_PAGE_HEADER_TEXT "$(UninstallTitle)"
!define MUI_PAGE_HEADER_SUBTEXT "$(UninstallSubtitle)"
!define MUI_UNCONFIRMPAGE_TEXT_TOP "$(UninstallText)"
!define MUI_UNCONFIRMPAGE_TEXT_LOCATION "$(UninstallFrom)"
!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_PAGE_HEADER_TEXT "$(UninstallingTitle)"
!define MUI_PAGE_HEADER_SUBTEXT "$(UninstallingSubtitle)"
!define MUI_INSTFILESPAGE_FINISHHEADER_TEXT "$(UninstalledTitle)"
!define MUI_INSTFILESPAGE_FINISHHEADER_SUBTEXT "$(UninstalledSubtitle)"
!define MUI_INSTFILESPAGE_ABORTHEADER_TEXT "$(UninstallFailedTitle)"
!define MUI_INSTFILESPAGE_ABORTHEADER_SUBTEXT "$(UninstallFailedSubtitle)"
!insertmacro MUI_UNPAGE_INSTFILES

; Thai first: the language of the setup unless the user picks English.
!insertmacro MUI_LANGUAGE "Thai"
!insertmacro MUI_LANGUAGE "English"

LangString ProductName ${LANG_THAI} "${DISPLAY_NAME} ${VERSION}"
LangString ProductName ${LANG_ENGLISH} "Velodane ${VERSION}"
LangString WelcomeTitle ${LANG_THAI} "ยินดีต้อนรับสู่การติดตั้ง$\r$\nคำอธิบายกลุ่มชุดดิน ${VERSION}"
LangString WelcomeTitle ${LANG_ENGLISH} "Welcome to the setup of Velodane ${VERSION}"
LangString WelcomeText ${LANG_THAI} "โปรแกรมคำอธิบายกลุ่มชุดดิน (Velodane) จะถูกติดตั้งที่$\r$\n${FOLDER}$\r$\n$\r$\nพร้อมเอกสารตัวอย่างของกลุ่มชุดดินทั้ง 62 กลุ่ม$\r$\n(vd1.doc ถึง vd62.doc) เฉพาะชื่อที่ยังไม่มีไฟล์อยู่$\r$\nเอกสารที่มีอยู่แล้วจะไม่ถูกเขียนทับ$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_ENGLISH} "Setup will install Velodane, the descriptions of the soil-series groups, in$\r$\n${FOLDER}$\r$\n$\r$\nwith sample documents for the 62 groups (vd1.doc to vd62.doc) where no document of that name exists yet: documents already there are never replaced.$\r$\n$\r$\n$_CLICK"
LangString FinishTitle ${LANG_THAI} "ติดตั้งคำอธิบายกลุ่มชุดดินเสร็จแล้ว"
LangString FinishTitle ${LANG_ENGLISH} "Velodane is installed"
LangString FinishText ${LANG_THAI} "ติดตั้งคำอธิบายกลุ่มชุดดินเรียบร้อยแล้ว$\r$\nเปิดโปรแกรมได้จากเมนู Start ที่$\r$\n$\"${SHORTCUT_NAME}$\"$\r$\n$\r$\nเอกสารคำอธิบายจริงของกลุ่มที่ N ให้วางแทนไฟล์$\r$\nvdN.doc ในโฟลเดอร์ ${FOLDER}$\r$\n$\r$\nกด เสร็จสิ้น เพื่อปิดตัวติดตั้ง"
LangString FinishText ${LANG_ENGLISH} "Velodane is installed. Start it from the Start menu: $\"${SHORTCUT_NAME}$\".$\r$\n$\r$\nPut the real description of group N in place of vdN.doc in ${FOLDER}.$\r$\n$\r$\nClick Finish to close Setup."
LangString UninstallText ${LANG_THAI} "โปรแกรม ทางลัดในเมนู Start และเอกสารตัวอย่างที่ยังไม่ถูกแก้ไข$\r$\nจะถูกลบออก เอกสารของคุณและเอกสารที่แก้ไขแล้วจะยังอยู่ที่เดิม"
LangString UninstallText ${LANG_ENGLISH} "The program, its Start-menu shortcut and the unchanged sample documents will be removed. Your own documents and the documents you changed stay where they are."
LangString UninstallCaption ${LANG_THAI} "ถอนการติดตั้ง ${DISPLAY_NAME} ${VERSION}"
LangString UninstallCaption ${LANG_ENGLISH} "Velodane ${VERSION} Uninstall"
LangString UninstallButton ${LANG_THAI} "ถอนการติดตั้ง"
LangString UninstallButton ${LANG_ENGLISH} "&Uninstall"
LangString UninstallTitle ${LANG_THAI} "ถอนการติดตั้งคำอธิบายกลุ่มชุดดิน"
LangString UninstallTitle ${LANG_ENGLISH} "Uninstall Velodane"
LangString UninstallSubtitle ${LANG_THAI} "ถอนโปรแกรมออกจากเครื่องคอมพิวเตอร์ของคุณ"
LangString UninstallSubtitle ${LANG_ENGLISH} "Remove Velodane from your computer."
LangString UninstallFrom ${LANG_THAI} "ถอนจาก:"
LangString UninstallFrom ${LANG_ENGLISH} "Uninstalling from:"
LangString UninstallingTitle ${LANG_THAI} "กำลังถอนการติดตั้ง"
LangString UninstallingTitle ${LANG_ENGLISH} "Uninstalling"
LangString UninstallingSubtitle ${LANG_THAI} "โปรดรอสักครู่"
LangString UninstallingSubtitle ${LANG_ENGLISH} "Please wait while Velodane is being uninstalled."
LangString UninstalledTitle ${LANG_THAI} "ถอนการติดตั้งเสร็จแล้ว"
LangString UninstalledTitle ${LANG_ENGLISH} "Uninstallation complete"
LangString UninstalledSubtitle ${LANG_THAI} "เอกสารที่คุณวางไว้เองหรือแก้ไขแล้วยังอยู่ที่เดิม"
LangString UninstalledSubtitle ${LANG_ENGLISH} "Your own and changed documents stay where they were."
LangString UninstallFailedTitle ${LANG_THAI} "ถอนการติดตั้งไม่สำเร็จ"
LangString UninstallFailedTitle ${LANG_ENGLISH} "Uninstallation failed"
LangString UninstallFailedSubtitle ${LANG_THAI} "โปรแกรมยังไม่ถูกถอนออกทั้งหมด"
LangString UninstallFailedSubtitle ${LANG_ENGLISH} "Velodane was not completely uninstalled."
LangString NeedAdmin ${LANG_THAI} "ต้องใช้สิทธิ์ผู้ดูแลระบบ (Administrator) จึงจะติดตั้งหรือถอนการติดตั้งโปรแกรมใน ${FOLDER} ได้"
LangString NeedAdmin ${LANG_ENGLISH} "Administrator rights are needed to install or uninstall the program in ${FOLDER}."
LangString SampleFailed ${LANG_THAI} "เขียนเอกสารตัวอย่างไม่ได้:"
LangString SampleFailed ${LANG_ENGLISH} "Could not write the sample document:"
LangString SampleMissing ${LANG_THAI} "ตัวติดตั้งไม่มีเอกสารตัวอย่าง:"
LangString SampleMissing ${LANG_ENGLISH} "The setup program lacks the sample document:"
LangString SamplesDone ${LANG_THAI} "เอกสารตัวอย่าง: ติดตั้ง $0 ฉบับ คงเอกสารที่มีอยู่แล้วไว้ $1 ฉบับ"
LangString SamplesDone ${LANG_ENGLISH} "Sample documents: $0 installed, $1 already there and kept"
LangString SampleChanged ${LANG_THAI} "คงเอกสารที่ถูกแก้ไขหรือแทนที่แล้วไว้:"
LangString SampleChanged ${LANG_ENGLISH} "Kept the changed or replaced document:"
LangString FolderKept ${LANG_THAI} "โฟลเดอร์ยังมีเอกสารอยู่ จึงไม่ลบ:"
LangString FolderKept ${LANG_ENGLISH} "The folder still holds documents and stays:"

UninstallCaption "$(UninstallCaption)"
UninstallButtonText "$(UninstallButton)"

Var Sample      ; the group number of the sample at hand
Var Record      ; "<size> <time high> <time low>" of a file
Var Bytes       ; bytes of what this setup installed, for the programs list
Var Written     ; samples written by this setup
Var Kept        ; samples left as they were, a document of that name being there

; Administrators only; and on 64-bit Windows the registry's 64-bit view, the
; one that goes with the 64-bit Program Files folder (the entries of a 32-bit
; program would otherwise go to WOW6432Node).
!macro Prepare
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_ICONSTOP|MB_OK "$(NeedAdmin)" /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
  SetShellVarContext all
  !if ${NSIS_PTR_SIZE} > 4
    SetRegView 64
  !else
    ${If} ${RunningX64}
      SetRegView 64
    ${EndIf}
  !endif
!macroend

; Takes a file's path from the stack and puts the file's record in its
; place: "" when the file can't be opened.
!macro FileRecord un
Function ${un}FileRecord
  Exch $0
  Push $1
  Push $2
  ClearErrors
  FileOpen $1 $0 r
  ${If} ${Errors}
    StrCpy $0 ""
  ${Else}
    FileSeek $1 0 END $2
    FileClose $1
    GetFileTime $0 $0 $1
    ${If} ${Errors}
      StrCpy $0 ""
    ${Else}
      StrCpy $0 "$2 $0 $1"
    ${EndIf}
  ${EndIf}
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro FileRecord ""
!insertmacro FileRecord "un."

Function .onInit
  StrCpy $LANGUAGE ${LANG_THAI}
  !insertmacro Prepare
  ; The program finds its documents in this folder only: /D= can't move it.
  StrCpy $INSTDIR "${FOLDER}"
  !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

Function un.onInit
  StrCpy $LANGUAGE ${LANG_THAI}
  !insertmacro Prepare
  !insertmacro MUI_UNGETLANGUAGE
FunctionEnd

Section "Velodane" Main
  SectionIn RO
  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "/oname=Velodane.exe" "${VELODANE_EXE}"

  ; The samples go into the setup's own temporary folder first, then each is
  ; copied into place by CopyFileW with "fail if exists": a document of that
  ; name, whether the user's or an earlier sample, is never replaced.
  InitPluginsDir
  SetDetailsPrint none
  SetOutPath "$PLUGINSDIR\samples"
  File "${SAMPLES}/vd*.doc"
  SetOutPath "$INSTDIR"
  SetDetailsPrint both
  StrCpy $Written 0
  StrCpy $Kept 0
  ${For} $Sample 1 ${GROUP_COUNT}
    ${IfNot} ${FileExists} "$PLUGINSDIR\samples\vd$Sample.doc"
      DetailPrint "$(SampleMissing) vd$Sample.doc"
      SetErrorLevel 2
      Abort "$(SampleMissing) vd$Sample.doc"
    ${EndIf}
    System::Call 'kernel32::CopyFileW(w "$PLUGINSDIR\samples\vd$Sample.doc", w "$INSTDIR\vd$Sample.doc", i 1) i .r0 ?e'
    Pop $1 ; the last error
    ${If} $0 <> 0
      Push "$INSTDIR\vd$Sample.doc"
      Call FileRecord
      Pop $Record
      WriteRegStr HKLM "${SAMPLES_KEY}" "vd$Sample.doc" $Record
      IntOp $Written $Written + 1
    ${ElseIf} $1 = 80 ; ERROR_FILE_EXISTS
      IntOp $Kept $Kept + 1
    ${Else}
      DetailPrint "$(SampleFailed) $INSTDIR\vd$Sample.doc ($1)"
      SetErrorLevel 2
      Abort "$(SampleFailed) $INSTDIR\vd$Sample.doc ($1)"
    ${EndIf}
  ${Next}
  StrCpy $0 $Written
  StrCpy $1 $Kept
  DetailPrint "$(SamplesDone)"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${SHORTCUT_NAME}.lnk" "$INSTDIR\Velodane.exe" "" "$INSTDIR\Velodane.exe" 0

  ; The size shown in the programs list: the program, the uninstaller and
  ; the samples recorded as installed (by this or an earlier setup).
  Push "$INSTDIR\Velodane.exe"
  Call FileRecord
  Pop $Record
  ${WordFind} $Record " " "+1" $Bytes
  Push "$INSTDIR\Uninstall.exe"
  Call FileRecord
  Pop $Record
  ${WordFind} $Record " " "+1" $0
  IntOp $Bytes $Bytes + $0
  ${For} $Sample 1 ${GROUP_COUNT}
    ReadRegStr $Record HKLM "${SAMPLES_KEY}" "vd$Sample.doc"
    ${If} $Record != ""
      ${WordFind} $Record " " "+1" $0
      IntOp $Bytes $Bytes + $0
    ${EndIf}
  ${Next}
  IntOp $Bytes $Bytes + 1023
  IntOp $Bytes $Bytes / 1024

  ; The uninstaller speaks the language chosen here (the pages save it
  ; too, but a silent setup shows none).
  WriteRegStr HKLM "${MUI_LANGDLL_REGISTRY_KEY}" "${MUI_LANGDLL_REGISTRY_VALUENAME}" $LANGUAGE

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${DISPLAY_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Velodane.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" 0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $Bytes
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete /REBOOTOK "$INSTDIR\Velodane.exe"
  Delete "$SMPROGRAMS\${SHORTCUT_NAME}.lnk"

  ; A sample goes only while its size and last-write time are still those
  ; recorded when it was written: saving a document, or putting another file
  ; in its place, changes them. (Debian's NSIS has no hashing plugin; size
  ; and time are what NSIS reads itself.)
  ${For} $Sample 1 ${GROUP_COUNT}
    ReadRegStr $0 HKLM "${SAMPLES_KEY}" "vd$Sample.doc"
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$INSTDIR\vd$Sample.doc"
      Push "$INSTDIR\vd$Sample.doc"
      Call un.FileRecord
      Pop $Record
      ${If} $Record == $0
        Delete "$INSTDIR\vd$Sample.doc"
      ${Else}
        DetailPrint "$(SampleChanged) $INSTDIR\vd$Sample.doc"
      ${EndIf}
    ${EndIf}
  ${Next}
  DeleteRegKey HKLM "${SAMPLES_KEY}"

  Delete "$INSTDIR\Uninstall.exe"
  ; Not /r: the folder goes only when nothing else is left in it.
  RMDir "$INSTDIR"
  ${If} ${FileExists} "$INSTDIR\*.*"
    DetailPrint "$(FolderKept) $INSTDIR"
  ${EndIf}

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegValue HKLM "Software\Velodane" "InstallerLanguage"
  DeleteRegKey /ifempty HKLM "Software\Velodane"
SectionEnd
