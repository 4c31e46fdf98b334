// Marks under the time slider: where the vehicle changes gear, and where a brake starts to act.

// The renders where something happens: { render, kind: 'gear' | 'brake', text }.
export function rideMarks(renders) {
  const marks = [];
  renders.forEach((render, k) => {
    const before = renders[k - 1];
    if (before && render.gear !== before.gear) {
      marks.push({ render: k, kind: 'gear', text: render.gear === 0 ? 'to neutral' : `to gear ${render.gear}` });
    }
    for (const brake of render.brakes ?? []) {
      if (!before?.brakes?.includes(brake)) marks.push({ render: k, kind: 'brake', text: `${brake} brake on` });
    }
  });
  return marks;
}

export function showMarks(container, marks, renders, seek) {
  container.replaceChildren();
  for (const mark of marks) {
    const element = document.createElement('button');
    element.type = 'button';
    element.className = `mark ${mark.kind}`;
    // The slider runs from -1, the modelled pose, to the last render.
    element.style.left = `${(100 * (mark.render + 1)) / Math.max(renders, 1)}%`;
    element.title = `render ${mark.render + 1}: ${mark.text}`;
    element.setAttribute('aria-label', element.title);
    element.addEventListener('click', () => seek(mark.render));
    container.append(element);
  }
}
