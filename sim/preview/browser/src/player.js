// Playback in host time: a render tick is a host time step, fifty of them a second at 1x.
export const ticksPerSecond = 50;

// The last render at or before `tick`, by binary search over the renders' ticks.
function renderAtTick(renders, tick) {
  let low = -1;
  let high = renders.length - 1;
  while (low < high) {
    const middle = Math.ceil((low + high) / 2);
    if (renders[middle].tick <= tick) low = middle;
    else high = middle - 1;
  }
  return low;
}

export function createPlayer(renders, onShow) {
  let speed = 1;
  let playing = false;
  let tick = 0;
  let lastFrameTime = 0;
  const listeners = [];
  const firstTick = renders.length ? renders[0].tick : 0;
  const lastTick = renders.length ? renders[renders.length - 1].tick : 0;

  function frame(time) {
    if (!playing) return;
    tick += ((time - lastFrameTime) / 1000) * ticksPerSecond * speed;
    lastFrameTime = time;
    if (tick >= lastTick) {
      tick = lastTick;
      playing = false;
    }
    onShow(renderAtTick(renders, tick));
    listeners.forEach((listener) => listener());
    if (playing) requestAnimationFrame(frame);
  }

  return {
    get playing() {
      return playing;
    },
    onStateChange(listener) {
      listeners.push(listener);
    },
    setSpeed(value) {
      speed = value;
    },
    play() {
      if (playing || renders.length === 0) return;
      if (tick >= lastTick) tick = firstTick - 1; // from the start again, through the initial pose
      playing = true;
      lastFrameTime = performance.now();
      listeners.forEach((listener) => listener());
      requestAnimationFrame(frame);
    },
    pause() {
      playing = false;
      listeners.forEach((listener) => listener());
    },
    // Jumps to render k (-1: before the first render), pausing playback.
    seek(k) {
      playing = false;
      const index = Math.max(-1, Math.min(renders.length - 1, k));
      tick = index < 0 ? firstTick - 1 : renders[index].tick;
      onShow(index);
      listeners.forEach((listener) => listener());
    },
  };
}
