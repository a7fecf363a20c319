// The record a physics contact delivers: message VIS_MSG_PHYSICS_CONTACT (10000) goes
// to the owner entity of each touching physics object (and from there to its
// components) with p1 = the address of this record and p2 = 68. The record lives on
// the physics module's stack for the duration of the message only.
// Every pair that touches is reported once per frame, after the frame's physics ticks
// (also when it touched in one tick only), for as long as it touches: first to the
// first participant's owner, then to the second's. Not told: controllers, owners
// already marked removed, bodies with contact report 0; once a handler deleted a
// participant, that pair is not reported any further.
#pragma once

#include "engine/base/VisMath.h"

class vPhysXObject;
class VisStaticGeometryInstance_cl;

// Second message parameter of a contact notification.
enum { VPHYSX_CONTACT_NOTIFY = 68 };

struct vPhysXContactRecord {
  struct Participant {
    vPhysXObject* pObject = nullptr;                           // null for static geometry and terrain
    VisStaticGeometryInstance_cl* pStaticGeometry = nullptr;  // set when the participant is static geometry
    int iTerrain = 0;                                           // 1 when the participant is the terrain
  };
  // The participant with the older physics object comes first (static geometry and
  // terrain come second).
  Participant participant[2];
  VisVector_cl vPoint;   // a contact point, world space
  VisVector_cl vNormal;  // unit, on the second participant's surface, pointing toward the first

  // Any of the four static-geometry and terrain words set.
  bool InvolvesWorld() const {
    return participant[0].pStaticGeometry || participant[0].iTerrain || participant[1].pStaticGeometry ||
           participant[1].iTerrain;
  }
};
