#pragma once
// Every operator new of the test program is counted (the replacement lives in AllocationCounter.cpp).
long AllocationCount();
