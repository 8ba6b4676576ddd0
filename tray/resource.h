// Resource numbers and private messages of the tray program; shared by the
// code and vexontra.rc.
#pragma once

#define IDR_MAINFRAME 128     // program icon, frame title string
#define IDI_TRAY 132          // the notification-area icon
#define IDR_TRAY_MENU 130     // popup menu; also the icon's id
#define IDD_SHUTDOWN 133      // the shutdown notice
#define IDS_APP_TITLE 57344   // the application title

#define ID_OFA_VISIBLE 32772
#define ID_UNIVERSAL_SCROLL 32773
#define ID_OFA_ON 32775
#define ID_LOAD_CUSTOMIZER 32776
#define ID_DISABLE_TRAY_ICON 32778
#define ID_CLOSE_TRAY_ICON 57665

// The icon's notifications, and the message that turns the icon on in a
// running tray from another instance.
#define UM_TRAY_NOTIFY 0x040A
#define UM_TRAY_ENABLE 0x8064
