#pragma once

// Record row of a control id in the 100-row record tables. Ids 73 and 74 (the
// jog halves) follow the current jog-wheel state. Always returns a row inside
// 0..99, whatever the id.
int rowForCid (int cid);
