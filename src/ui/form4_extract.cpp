// The reading run of the status window.
#include "ui/form1.h"
#include "ui/form4.h"

void Form4::extract() { close(); }
