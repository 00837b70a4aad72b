/* English texts. */
#define MSG_WELCOME DEVICE_NAME _U(" ready")
#define MSG_HEAT PICK(_U("Heat %d"), _U("Heat to %d C"))
#define MSG_HOLD _U("Hold %u min")
#define MSG_COOL _U("Cool down")
