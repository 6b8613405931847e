// Identifiers shared by the resource script and the code. Plain macros: the
// resource compiler reads this file through the C preprocessor.
#pragma once

// Dialog templates.
#define KQ_DIALOG_FINISH_PAGE 101
#define KQ_DIALOG_WELCOME_PAGE 102
#define KQ_DIALOG_LICENCE 104
#define KQ_DIALOG_INSTALL_WHERE_PAGE 107

// Icon group (32x32 and 16x16, 16 colours); also the id of the pages' icon control.
#define KQ_ICON_SETUP 300

// Controls of the Welcome and Finish pages.
#define KQ_ID_PAGE_TEXT 1003
#define KQ_ID_PAGE_DETAIL 1004

// Controls of the Install-where page.
#define KQ_ID_BROWSE 1007
#define KQ_ID_INSTALL_FOLDER 1024

// Controls and results of the licence dialog.
#define KQ_ID_LICENCE_TEXT 1010
#define KQ_ID_LICENCE_QUESTION 1011
#define KQ_ID_LICENCE_WARNING 1012
#define KQ_ID_LICENCE_READ 1013
#define KQ_ID_LICENCE_PAGE_DOWN 1014
#define KQ_ID_ACCEPT 101
#define KQ_ID_EXIT_SETUP 102

// String table entries; the program carries them but loads neither.
#define KQ_STRING_MUST_AGREE 999
#define KQ_STRING_INSTALL 1016
