/* German texts; the service entry falls back to the default. */
#define MSG_WELCOME DEVICE_NAME _U(" bereit")
#define MSG_HEAT PICK(_U("Heiz %d"), _U("Heizen auf %d C"))
#define MSG_HOLD _U("Halten %u min")
#define MSG_COOL _U("Abk\xfchlen")
#define MSG_BACK _U("Zur\xfc" "ck")
