// Open and Import.
#include "ui/form1.h"

void Form1::open() {}
void Form1::import() {}
